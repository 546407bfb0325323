#pragma once
// The one script of the window: the file it came from, whether it changed since it was loaded or
// saved, and the title the window shows. The text itself lives in the script editor; the
// document turns file bytes into text and back, line ends as they are in the file.
//
// Script files are UTF-8. A file that is not valid UTF-8 is read as Latin-1 and written back as
// Latin-1, so an old 8-bit script survives a load and a save byte for byte.
#include <QString>

#include <string>

namespace marlix {

enum class ScriptEncoding { Utf8, Latin1 };

class CDravelDoc {
public:
    // What Load hands to the editor.
    struct Loaded {
        QString text; // the file's own line ends
        ScriptEncoding encoding = ScriptEncoding::Utf8;
    };

    const QString& Path() const noexcept { return path_; }
    bool Modified() const noexcept { return modified_; }
    ScriptEncoding Encoding() const noexcept { return encoding_; }

    // "[" + connection title + " - " (when connected) + path or "Untitled" + "] ".
    QString Title(const std::string& connectionTitle, bool connected) const;

    // Reads a file without touching the document, so a failed open leaves it exactly as it was.
    // Throws CFileException.
    static Loaded Read(const QString& path);
    // The document now holds the loaded file (call after the editor took the text).
    void Opened(const QString& path, ScriptEncoding encoding);

    // Writes the text (with the script's own line ends) to `path`, replacing the file only once
    // all of it is written; on success the path is the document's and the flag
    // is cleared. Returns false when a Latin-1 script now holds characters Latin-1 cannot store:
    // it was then written as UTF-8 (and stays UTF-8). Throws CFileException, leaving the
    // document modified.
    bool Save(const QString& path, const QString& text);

    // New: no file, an empty text.
    void Renew();
    void SetModified(bool modified) noexcept { modified_ = modified; }

    // The bytes a save writes for `text`, and the text a file's bytes give.
    static std::string EncodeText(const QString& text, ScriptEncoding encoding);
    static Loaded DecodeBytes(const std::string& bytes);

private:
    QString path_;
    bool modified_ = false;
    ScriptEncoding encoding_ = ScriptEncoding::Utf8;
};

} // namespace marlix
