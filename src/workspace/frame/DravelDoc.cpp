#include "workspace/frame/DravelDoc.h"

#include "core/ScriptFile.h"

#include <QFile>
#include <QStringDecoder>

namespace marlix {

QString CDravelDoc::Title(const std::string& connectionTitle, bool connected) const {
    QString title = QStringLiteral("[");
    if (connected) title += QString::fromStdString(connectionTitle) + QStringLiteral(" - ");
    title += path_.isEmpty() ? QStringLiteral("Untitled") : path_;
    title += QStringLiteral("] ");
    return title;
}

CDravelDoc::Loaded CDravelDoc::DecodeBytes(const std::string& bytes) {
    Loaded loaded;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
        loaded.encoding = ScriptEncoding::Latin1;
    }
    loaded.text = std::move(text);
    return loaded;
}

std::string CDravelDoc::EncodeText(const QString& text, ScriptEncoding encoding) {
    QByteArray bytes = encoding == ScriptEncoding::Latin1 ? text.toLatin1() : text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

CDravelDoc::Loaded CDravelDoc::Read(const QString& path) {
    return DecodeBytes(LoadScriptFile(QFile::encodeName(path).toStdString()));
}

void CDravelDoc::Opened(const QString& path, ScriptEncoding encoding) {
    path_ = path;
    encoding_ = encoding;
    modified_ = false;
}

bool CDravelDoc::Save(const QString& path, const QString& text) {
    bool keptEncoding = true;
    if (encoding_ == ScriptEncoding::Latin1) {
        for (QChar c : text) {
            if (c.unicode() > 0xFF) {
                keptEncoding = false;
                break;
            }
        }
    }
    ScriptEncoding encoding = keptEncoding ? encoding_ : ScriptEncoding::Utf8;
    SaveScriptFile(QFile::encodeName(path).toStdString(), EncodeText(text, encoding));
    path_ = path;
    encoding_ = encoding;
    modified_ = false;
    return keptEncoding;
}

void CDravelDoc::Renew() {
    path_.clear();
    encoding_ = ScriptEncoding::Utf8;
    modified_ = false;
}

} // namespace marlix
