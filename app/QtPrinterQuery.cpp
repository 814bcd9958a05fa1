#include "app/QtPrinterQuery.h"
#include "ports/PrinterQuery.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPrinterInfo>
#include <QStringList>

namespace hv {

SystemPrinter QtSystemPrinter()
{
    // The print support needs a GUI application; without one there is no printer to use.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty())
        return {};
    std::vector<std::string> installed;
    for (const QString& name : names)
        installed.push_back(name.toStdString());
    const std::string& current = currentPrinter();
    if (!current.empty() && names.contains(QString::fromStdString(current)))
        return {true, current, installed};
    QPrinterInfo def = QPrinterInfo::defaultPrinter();
    return {true, (def.isNull() ? names.front() : def.printerName()).toStdString(), installed};
}

} // namespace hv
