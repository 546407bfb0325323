#include "results/text/ClipboardText.h"

#include <QStringDecoder>

#include <algorithm>

namespace marlix {
namespace {

// Receives the bytes in order, drops the carriage return of each "\r\n" (which may be cut
// between two writes) and decodes the rest into the string, whose size bounds the output: UTF-8
// never takes fewer bytes than UTF-16 units.
class ClipboardSink final : public TextSink {
public:
    explicit ClipboardSink(size_t bytes)
        : text_(static_cast<qsizetype>(bytes) + 1, Qt::Uninitialized), out_(text_.data()) {}

    void WriteBytes(const char* data, size_t length) override {
        written_ += length;
        while (length > 0) {
            size_t used = 0;
            const size_t n = std::min(length, kChunk);
            for (size_t i = 0; i < n; ++i) {
                const char c = data[i];
                if (pendingReturn_ && c != '\n') chunk_[used++] = '\r';
                pendingReturn_ = c == '\r';
                if (!pendingReturn_) chunk_[used++] = c;
            }
            Decode(chunk_, used);
            data += n;
            length -= n;
        }
    }
    size_t Length() const override { return written_; }

    QString Take() {
        if (pendingReturn_) Decode("\r", 1);
        // A sequence cut short at the very end shows as a replacement character, as a whole
        // decode would show it.
        if (SequenceLeftOpen()) *out_++ = QChar::ReplacementCharacter;
        text_.resize(out_ - text_.data());
        return std::move(text_);
    }

private:
    static constexpr size_t kChunk = 65536;

    void Decode(const char* bytes, size_t n) {
        out_ = decoder_.appendToBuffer(out_, QByteArrayView(bytes, static_cast<qsizetype>(n)));
        TrackOpenSequence(bytes, n);
    }

    // Keeps the last bytes decoded: enough to tell whether a sequence is left open at the end.
    void TrackOpenSequence(const char* bytes, size_t n) {
        for (size_t i = n > 4 ? n - 4 : 0; i < n; ++i) {
            std::copy(tail_ + 1, tail_ + 4, tail_);
            tail_[3] = static_cast<unsigned char>(bytes[i]);
        }
    }
    bool SequenceLeftOpen() const {
        int continuation = 0;
        while (continuation < 3 && (tail_[3 - continuation] & 0xC0) == 0x80)
            ++continuation;
        const unsigned char lead = tail_[3 - continuation];
        const int need = lead >= 0xC2 && lead <= 0xDF   ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 1;
        return need > continuation + 1;
    }

    QString text_;
    QChar* out_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    char chunk_[kChunk];
    size_t written_ = 0;
    bool pendingReturn_ = false;
    unsigned char tail_[4] = {}; // the last four bytes decoded, the latest last
};

} // namespace

QString ClipboardText(const ResultsText& text, size_t start, size_t end) {
    end = std::min(end, text.Length());
    if (start >= end) return {};
    auto sink = std::make_unique<ClipboardSink>(end - start);
    text.WriteTo(*sink, start, end);
    return sink->Take();
}

} // namespace marlix
