#pragma once
// Field definition files: fixed 48-byte records, one per field, that list the
// fields of an import (.tid) or export (.ted) in order. Each record holds a
// display name (length byte and 30 bytes), a key (length byte and 10 bytes),
// a type code (length byte and one letter) and a size (signed 32-bit, little
// endian). The files lie beside the program and may be replaced by hand, so a
// file that does not keep to this layout is refused whole.
#include <cstdint>
#include <string>
#include <vector>

namespace hv::exchange {

inline constexpr std::size_t kFieldRecordSize = 48;
inline constexpr std::size_t kMaxFieldRecords = 256;
inline constexpr std::size_t kMaxDisplayNameBytes = 30;
inline constexpr std::size_t kMaxKeyBytes = 10;

struct FieldDefinition {
    std::string displayName; // UTF-8
    std::string key;
    char typeCode = 0; // the letter as stored; 0 when the record has none
    std::int32_t size = 0;
    int position = 0; // 0-based record number
};

// Refuses a size that is not a multiple of 48, more than 256 records and a
// length byte larger than its field.
bool parseFieldDefinitions(const std::string& bytes, std::vector<FieldDefinition>& out, std::string& error);
bool readFieldDefinitionFile(const std::string& path, std::vector<FieldDefinition>& out, std::string& error);

std::string encodeFieldDefinitions(const std::vector<FieldDefinition>& fields);
// Written to a temporary name and renamed into place when complete.
bool writeFieldDefinitionFile(const std::string& path, const std::vector<FieldDefinition>& fields, std::string& error);

// The readable source the binary files are made from: one field a line,
// "display name|key|type letter|size"; blank lines and lines starting with
// "#" are passed over. Refuses what the binary layout cannot hold.
bool parseFieldDefinitionSource(const std::string& text, std::vector<FieldDefinition>& out, std::string& error);

} // namespace hv::exchange
