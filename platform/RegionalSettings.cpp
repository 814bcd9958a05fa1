#include "platform/RegionalSettings.h"

#include <QLocale>
#include <QString>

namespace hv {

RegionalSettings RegionalSettings::usEnglish()
{
    RegionalSettings r;
    r.shortDateFormat = "m/d/yyyy";
    r.longDateFormat = "dddd, mmmm d, yyyy";
    r.shortTimeFormat = "h:nn AMPM";
    r.longTimeFormat = "h:nn:ss AMPM";
    r.dateSeparator = "/";
    r.timeSeparator = ":";
    r.decimalSeparator = ".";
    r.thousandSeparator = ",";
    r.amDesignator = "AM";
    r.pmDesignator = "PM";
    r.longDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday",
                      "Thursday", "Friday", "Saturday"};
    r.shortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    r.longMonthNames = {"January", "February", "March", "April", "May", "June",
                        "July", "August", "September", "October", "November", "December"};
    r.shortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    r.currencyString = "$";
    r.currencyFormat = 0;
    r.negativeCurrencyFormat = 0;
    r.currencyDecimals = 2;
    return r;
}

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// The first separator character of a Qt format outside quoted text; blanks
// only count when nothing else separates the fields.
QString firstSeparator(const QString& qtFormat, const QString& fallback)
{
    bool quoted = false;
    for (QChar c : qtFormat) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        // Bidirectional marks surround separators in some regions; they are
        // not separators themselves.
        if (quoted || isAsciiLetter(c) || c.isSpace() || c == QLatin1Char(',')
            || c.category() == QChar::Other_Format)
            continue;
        return QString(c);
    }
    return fallback;
}

std::string quoteLiteral(const QString& text)
{
    if (text.isEmpty())
        return {};
    const char quote = text.contains(QLatin1Char('"')) ? '\'' : '"';
    return quote + text.toStdString() + quote;
}

// Translates Qt's date-time format notation into the formatter's. The given
// separator becomes "/" (dates) or ":" (times), the symbols that stand for it.
std::string fromQtFormat(const QString& qt, const QString& separator, const char* separatorSymbol,
                         bool fourDigitYears = false)
{
    std::string out;
    QString literal;
    auto flush = [&] {
        out += quoteLiteral(literal);
        literal.clear();
    };
    const int n = int(qt.size());
    int i = 0;
    while (i < n) {
        const QChar c = qt[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text; two quotes in a row stand for one quote character.
            ++i;
            while (i < n) {
                if (qt[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && qt[i + 1] == QLatin1Char('\'')) {
                        literal += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += qt[i++];
            }
            continue;
        }
        int run = 1;
        while (i + run < n && qt[i + run] == c)
            ++run;
        const char ch = char(c.toLatin1());
        std::string token;
        switch (ch) {
        case 'd': token.assign(std::min(run, 4), 'd'); break;
        case 'M': token.assign(std::min(run, 4), 'm'); break;
        case 'y': token = (run <= 2 && !fourDigitYears) ? "yy" : "yyyy"; break;
        case 'h':
        case 'H': token.assign(std::min(run, 2), 'h'); break;
        case 'm': token.assign(std::min(run, 2), 'n'); break;
        case 's': token.assign(std::min(run, 2), 's'); break;
        case 'z': token = run >= 3 ? "zzz" : "z"; break;
        case 'a':
        case 'A':
            token = "ampm";
            if (i + 1 < n && (qt[i + 1] == QLatin1Char('p') || qt[i + 1] == QLatin1Char('P')))
                run = 2;
            else
                run = 1;
            break;
        case 't':
            // A time zone has no place in the program's local times; neither
            // have the brackets some regions put around it.
            flush();
            i += run;
            if (!out.empty() && out.back() == '(' && i < n && qt[i] == QLatin1Char(')')) {
                out.pop_back();
                ++i;
            }
            continue;
        default:
            break;
        }
        if (!token.empty()) {
            flush();
            out += token;
            i += run;
            continue;
        }
        if (QString(c) == separator) {
            flush();
            out += separatorSymbol;
        } else if (isAsciiLetter(c) || c == QLatin1Char('/') || c == QLatin1Char(':')
                   || c == QLatin1Char('"')) {
            literal += c;
        } else {
            flush();
            out += QString(c).toStdString();
        }
        ++i;
    }
    flush();
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    out.erase(0, out.find_first_not_of(' ') == std::string::npos ? out.size()
                                                                 : out.find_first_not_of(' '));
    return out;
}

// Reduces a currency text to a layout template: the symbol becomes "$", the
// amount "1", the minus sign "-", any kind of blank one space.
QString currencyTemplate(QString text, const QString& symbol, const QLocale& loc)
{
    for (QChar mark : {QChar(0x200E), QChar(0x200F), QChar(0x061C)})
        text.remove(mark);
    if (!symbol.isEmpty())
        text.replace(symbol, QStringLiteral("$"));
    text.replace(loc.negativeSign(), QStringLiteral("-"));
    text.replace(QChar(0x2212), QLatin1Char('-'));
    QString out;
    for (QChar c : text) {
        if (c.isSpace())
            out += QLatin1Char(' ');
        else if (c.isDigit())
            out += QLatin1Char('1');
        else
            out += c;
    }
    out.replace(QStringLiteral("11"), QStringLiteral("1"));
    return out;
}

} // namespace

RegionalSettings RegionalSettings::fromSystemLocale()
{
    const QLocale loc = QLocale::system();
    RegionalSettings r = usEnglish();

    const QString qtShortDate = loc.dateFormat(QLocale::ShortFormat);
    const QString qtLongDate = loc.dateFormat(QLocale::LongFormat);
    const QString qtShortTime = loc.timeFormat(QLocale::ShortFormat);
    const QString qtLongTime = loc.timeFormat(QLocale::LongFormat);

    const QString dateSep = firstSeparator(qtShortDate, QStringLiteral("/"));
    const QString timeSep = firstSeparator(qtShortTime, QStringLiteral(":"));
    r.dateSeparator = dateSep.toStdString();
    r.timeSeparator = timeSep.toStdString();
    // Dates shown in the windows are read back from their text, and a
    // two-digit year would turn a start date of 1960 into 2060.
    r.shortDateFormat = fromQtFormat(qtShortDate, dateSep, "/", true);
    r.longDateFormat = fromQtFormat(qtLongDate, dateSep, "/");
    r.shortTimeFormat = fromQtFormat(qtShortTime, timeSep, ":");
    r.longTimeFormat = fromQtFormat(qtLongTime, timeSep, ":");
    if (r.shortDateFormat.empty())
        r.shortDateFormat = "m/d/yyyy";

    r.decimalSeparator = loc.decimalPoint().toStdString();
    r.thousandSeparator = loc.groupSeparator().toStdString();
    if (!loc.amText().isEmpty())
        r.amDesignator = loc.amText().toStdString();
    if (!loc.pmText().isEmpty())
        r.pmDesignator = loc.pmText().toStdString();

    for (int i = 0; i < 7; ++i) {
        const int qtDay = i == 0 ? 7 : i; // Qt counts Monday = 1 .. Sunday = 7
        r.longDayNames[i] = loc.dayName(qtDay, QLocale::LongFormat).toStdString();
        r.shortDayNames[i] = loc.dayName(qtDay, QLocale::ShortFormat).toStdString();
    }
    for (int i = 0; i < 12; ++i) {
        r.longMonthNames[i] = loc.monthName(i + 1, QLocale::LongFormat).toStdString();
        r.shortMonthNames[i] = loc.monthName(i + 1, QLocale::ShortFormat).toStdString();
    }

    const QString symbol = loc.currencySymbol(QLocale::CurrencySymbol);
    r.currencyString = symbol.toStdString();

    static const char* const positive[] = {"$1", "1$", "$ 1", "1 $"};
    const QString pos = currencyTemplate(loc.toCurrencyString(1.0, symbol, 0), symbol, loc);
    r.currencyFormat = 0;
    for (int k = 0; k < 4; ++k)
        if (pos == QLatin1String(positive[k]))
            r.currencyFormat = k;

    static const char* const negative[] = {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$",
                                           "1-$", "1$-", "-1 $", "-$ 1", "1 $-", "$ 1-",
                                           "$ -1", "1- $", "($ 1)", "(1 $)"};
    const QString neg = currencyTemplate(loc.toCurrencyString(-1.0, symbol, 0), symbol, loc);
    // Unknown layouts put the minus sign in front of the positive layout.
    static const int minusFirst[] = {1, 5, 9, 8};
    r.negativeCurrencyFormat = minusFirst[r.currencyFormat];
    for (int k = 0; k < 16; ++k)
        if (neg == QLatin1String(negative[k]))
            r.negativeCurrencyFormat = k;

    // The locale's own precision shows in its rendering of one unit.
    const QString one = loc.toCurrencyString(1.0, symbol);
    const int point = int(one.lastIndexOf(loc.decimalPoint()));
    int decimals = 0;
    if (point >= 0)
        for (int k = point + int(loc.decimalPoint().size()); k < one.size() && one[k].isDigit(); ++k)
            ++decimals;
    r.currencyDecimals = decimals;
    return r;
}

namespace {

RegionalSettings& current()
{
    static RegionalSettings settings = RegionalSettings::usEnglish();
    return settings;
}

} // namespace

const RegionalSettings& regional()
{
    return current();
}

void setRegional(const RegionalSettings& settings)
{
    current() = settings;
}

} // namespace hv
