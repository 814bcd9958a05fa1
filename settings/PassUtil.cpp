#include "settings/PassUtil.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QString>

namespace hv {
namespace {

// Fixed, so that every copy sharing a database produces the same stored form.
const char kCipherKey[] = "Hourvane manager access 3";

} // namespace

bool IsPasswordCharacter(char32_t c)
{
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9');
}

bool AcceptPasswordInput(const std::string& typed, std::string& accepted)
{
    const std::u32string chars = QString::fromStdString(typed).toStdU32String();
    if (chars.size() > kMaxPasswordLength)
        return false;
    std::string result;
    for (char32_t c : chars) {
        if (!IsPasswordCharacter(c))
            return false;
        // Only ASCII gets here, so the case change cannot alter the length.
        result += static_cast<char>(c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c);
    }
    accepted = std::move(result);
    return true;
}

std::string EncipherPassword(const std::string& text)
{
    const QByteArray upper = QString::fromStdString(text).toUpper().toUtf8();
    const QByteArray mac = QMessageAuthenticationCode::hash(upper, QByteArray(kCipherKey),
                                                            QCryptographicHash::Sha256);
    return mac.toBase64().toStdString();
}

std::string EffectiveStoredForm(const std::string& storedValue)
{
    return storedValue.empty() ? EncipherPassword(kDefaultPassword) : storedValue;
}

PasswordChange CheckPasswordChange(const std::string& storedForm, const std::string& current,
                                   const std::string& newPassword, const std::string& confirm)
{
    if (EncipherPassword(current) != storedForm)
        return PasswordChange::CurrentInvalid;
    if (QString::fromStdString(newPassword).size() < static_cast<qsizetype>(kMinNewPasswordLength))
        return PasswordChange::TooShort;
    if (newPassword != confirm)
        return PasswordChange::NotConfirmed;
    if (EncipherPassword(newPassword) == storedForm)
        return PasswordChange::Unchanged;
    return PasswordChange::Accepted;
}

std::string PasswordChangeMessage(PasswordChange result)
{
    switch (result) {
    case PasswordChange::Accepted: return {};
    case PasswordChange::CurrentInvalid:
        return "The current Manager Access password entered is invalid.  Please try again.";
    case PasswordChange::TooShort: return "The new password must be between 4 and 15 letters long.";
    case PasswordChange::NotConfirmed: return "Your new password was not re-entered correctly. Please try again.";
    case PasswordChange::Unchanged:
        return "Your new password must be different than your old password. Please re-enter your new password.";
    }
    return {};
}

TManagerPasswordClass::TManagerPasswordClass(THourvaneDataMod& dm)
    : m_pref(dm, kAccessPreferID, PreferStorage::SharedTable)
{
    // A missing row leaves the value empty: the default password applies.
    m_pref.Load();
    m_storedForm = EffectiveStoredForm(m_pref.value());
}

bool TManagerPasswordClass::Matches(const std::string& typed) const
{
    return EncipherPassword(typed) == m_storedForm;
}

bool TManagerPasswordClass::Change(const std::string& newPassword, const std::string& lockIdentity)
{
    m_pref.SetValue(EncipherPassword(newPassword));
    if (!m_pref.Save(lockIdentity))
        return false;
    m_storedForm = m_pref.value();
    return true;
}

} // namespace hv
