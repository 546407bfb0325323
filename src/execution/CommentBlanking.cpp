#include "execution/CommentBlanking.h"

#include <algorithm>

namespace marlix {

std::string BlankComments(TokenView script, std::size_t firstToken, std::size_t endToken,
                          std::size_t textStart, std::size_t textEnd) {
    std::string text(script.text.substr(textStart, textEnd - textStart));
    for (std::size_t i = firstToken; i < endToken && i < script.size(); ++i) {
        const Token& token = script.tokens[i];
        if (!IsCommentLike(token.cls) || token.executable) continue;
        std::size_t from = std::max<std::size_t>(token.offset, textStart);
        std::size_t to = std::min<std::size_t>(token.End(), textEnd);
        for (std::size_t p = from; p < to; ++p) {
            char& c = text[p - textStart];
            if (c != '\t' && c != '\n' && c != '\r') c = ' ';
        }
    }
    return text;
}

} // namespace marlix
