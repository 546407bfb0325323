#pragma once
// Script files on disk: plain 8-bit text, loaded and written back byte for byte, line ends
// included (see LineEnds).
#include <string>
#include <string_view>

namespace marlix {

// Reads the whole file as it is. Throws CFileException.
std::string LoadScriptFile(const std::string& path);

// Writes the text unchanged. The file is replaced only once the whole text is on disk, so a
// failed save leaves the previous file as it was. Throws CFileException.
void SaveScriptFile(const std::string& path, std::string_view text);

// Generated output's line ends: CR LF stays, a lone CR or a lone LF becomes CR LF.
std::string NormalizeLineEnds(std::string_view text);

// The byte offset of a position given in characters, as a user or another program names a place
// in a script: Unicode code points, a line end (CR LF, LF or CR) counting as one, as the editor
// counts them. A position past the end stays past it by the characters left over.
size_t ByteOffsetOfCharacter(std::string_view text, size_t characters);

} // namespace marlix
