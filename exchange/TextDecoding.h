#pragma once
// Text from files written elsewhere, turned into the UTF-8 the program keeps:
// a line is taken as UTF-8 when it is valid UTF-8 and otherwise as
// Windows-1252, the code page older spreadsheets and dBase tables use; dBase
// tables may name IBM437 or IBM850 instead.
#include <string>
#include <string_view>

namespace hv::exchange {

enum class CodePage { Auto, Utf8, Windows1252, Ibm437, Ibm850 };

bool isValidUtf8(std::string_view bytes);
// Windows-1252 bytes as UTF-8; the five bytes the code page leaves undefined
// keep their Latin-1 meaning, so no byte is lost.
std::string windows1252ToUtf8(std::string_view bytes);
// Auto: UTF-8 when valid, else Windows-1252. Utf8: invalid sequences become
// U+FFFD.
std::string decodeText(std::string_view bytes, CodePage page);

} // namespace hv::exchange
