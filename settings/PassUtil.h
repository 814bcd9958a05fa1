#pragma once
// The manager access password: its character rules, the cipher it is kept in
// and the checks of a password change. The stored form is only ever compared,
// never deciphered.
#include "storage/Prefer.h"

#include <string>

namespace hv {

class THourvaneDataMod;

inline constexpr const char* kAccessPreferID = "HourvaneAccess";
// The password of a database that has never had one set.
inline constexpr const char* kDefaultPassword = "LANTERNS";
inline constexpr std::size_t kMaxPasswordLength = 15;
inline constexpr std::size_t kMinNewPasswordLength = 4;

// Letters A-Z (either case, typed text is upper-cased) and digits.
bool IsPasswordCharacter(char32_t c);
// The text as a password field keeps it: upper-cased; false when it holds a
// character no password may contain or is longer than 15 characters.
bool AcceptPasswordInput(const std::string& typed, std::string& accepted);

// The stored form of a password: a keyed SHA-256 of the upper-cased text in
// base64, 44 characters, so it fits the 50-character preference value.
std::string EncipherPassword(const std::string& text);

// The stored form that access is checked against: the row's value, or the
// default password enciphered when the value is empty.
std::string EffectiveStoredForm(const std::string& storedValue);

// Why a change is refused, in the order the checks run.
enum class PasswordChange { Accepted, CurrentInvalid, TooShort, NotConfirmed, Unchanged };

PasswordChange CheckPasswordChange(const std::string& storedForm, const std::string& current,
                                   const std::string& newPassword, const std::string& confirm);
// The message that tells the user about a refusal; empty for Accepted.
std::string PasswordChangeMessage(PasswordChange result);

inline constexpr const char* kAccessInvalidMessage = "The Manager Access password entered is invalid.";
inline constexpr const char* kPasswordChangedMessage = "Your password has been changed.";

// The password row of the shared preferences, read once when it is made.
class TManagerPasswordClass {
public:
    explicit TManagerPasswordClass(THourvaneDataMod& dm);

    const std::string& storedForm() const { return m_storedForm; }
    bool Matches(const std::string& typed) const;

    // The row's lock, so that two copies cannot change the password together.
    bool Lock(const std::string& lockIdentity) { return m_pref.Lock(lockIdentity); }
    bool Unlock(const std::string& lockIdentity) { return m_pref.Unlock(lockIdentity); }
    const std::string& lockHolder() const { return m_pref.lockHolder(); }

    // Stores the new password enciphered; a failed save has been reported by
    // the preference record.
    bool Change(const std::string& newPassword, const std::string& lockIdentity);

private:
    TPreferenceRecClass m_pref;
    std::string m_storedForm;
};

} // namespace hv
