#pragma once
// The two kinds of failure the table engine reports: EngineError carries numeric
// codes (the first one is the one callers look at) and a message; EngineTextError
// carries only a text (misuse such as an unknown field or a closed table).
#include <stdexcept>
#include <string>
#include <vector>

namespace hv::engine {

namespace code {
inline constexpr int BlobEndedPrematurely = 8711;
inline constexpr int HeaderCorrupt = 8961;
inline constexpr int DataCorrupt = 8962;
inline constexpr int BlobCorrupt = 8963;
inline constexpr int IndexCorrupt = 8965;
inline constexpr int ReadError = 9217;
inline constexpr int WriteError = 9218;
inline constexpr int InvalidBlobOffset = 9998;
inline constexpr int InvalidIndexField = 10023;
inline constexpr int InvalidBlobLength = 10029;

inline constexpr int KeyViolation = 9729;
inline constexpr int RequiredField = 9732;
inline constexpr int RecordDeleted = 8708;
inline constexpr int TableBusy = 10241;
inline constexpr int TableInUse = 10243;
inline constexpr int TableNotFound = 11010;
inline constexpr int FilterError = 11950;
inline constexpr int SqlError = 11949;
inline constexpr int General = 11948;
} // namespace code

// True for the codes that mean a damaged table file, which a repair may mend.
bool isDamageCode(int errorCode);

class EngineError : public std::runtime_error {
public:
    EngineError(int errorCode, const std::string& message);
    EngineError(std::vector<int> codes, const std::string& message);
    // A key violation, naming the unique index it broke.
    EngineError(int errorCode, const std::string& message, std::string indexName);
    int code() const { return m_codes.empty() ? 0 : m_codes.front(); }
    const std::vector<int>& codes() const { return m_codes; }
    std::string message() const { return what(); }
    // The broken index of a key violation ("Primary" for the primary key); empty otherwise.
    const std::string& indexName() const { return m_indexName; }

private:
    std::vector<int> m_codes;
    std::string m_indexName;
};

class EngineTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace hv::engine
