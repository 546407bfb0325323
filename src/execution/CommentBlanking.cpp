#include "execution/CommentBlanking.h"

#include <algorithm>

namespace marlix {

namespace {

// Reads "NN.NN.NN" from `at`; 0 when it is not there.
int VersionNumberAt(std::string_view text) {
    int parts[3] = {0, 0, 0};
    std::size_t i = 0;
    for (int part = 0; part < 3; ++part) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return part == 0 ? 0 : parts[0] * 10000 + parts[1] * 100;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            parts[part] = std::min(parts[part] * 10 + (text[i++] - '0'), 99);
        if (part < 2 && (i >= text.size() || text[i] != '.')) break;
        ++i;
    }
    return parts[0] * 10000 + parts[1] * 100 + parts[2];
}

// Whether the server runs the executable comment opened by `opener` ("/*!40101", "/*M!100100", "/*!").
bool Runs(std::string_view opener, ExecutableCommentServer server) {
    const bool mariadbOnly = opener.size() > 2 && (opener[2] == 'M' || opener[2] == 'm');
    if (mariadbOnly && !server.mariadb) return false;
    std::string_view digits = opener.substr(mariadbOnly ? 4 : 3);
    int needed = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') break;
        needed = needed * 10 + (c - '0');
        if (needed > 9999999) break;
    }
    return server.version == 0 || needed <= server.version;
}

} // namespace

ExecutableCommentServer ExecutableCommentServerOf(std::string_view dbmsVersion) {
    ExecutableCommentServer server;
    server.mariadb = dbmsVersion.find("MariaDB") != std::string_view::npos ||
                     dbmsVersion.find("mariadb") != std::string_view::npos;
    const std::size_t blank = dbmsVersion.find(' ');
    if (blank != std::string_view::npos) dbmsVersion.remove_prefix(blank + 1);
    // MariaDB reported itself to old clients as 5.5.5 followed by its own version.
    if (dbmsVersion.substr(0, 6) == "5.5.5-") dbmsVersion.remove_prefix(6);
    server.version = VersionNumberAt(dbmsVersion);
    return server;
}

std::string BlankComments(TokenView script, std::size_t firstToken, std::size_t endToken,
                          std::size_t textStart, std::size_t textEnd, ExecutableCommentServer server) {
    std::string text(script.text.substr(textStart, textEnd - textStart));
    bool skipped = false; // inside an executable comment the server would not run
    for (std::size_t i = firstToken; i < endToken && i < script.size(); ++i) {
        const Token& token = script.tokens[i];
        bool blank = IsCommentLike(token.cls) || skipped;
        if (token.executable) {
            const std::string_view marker = script.text.substr(token.offset, token.length);
            if (marker.substr(0, 2) == "/*") skipped = !Runs(marker, server);
            else if (skipped) skipped = false; // its closing "*/", blanked with the rest
            blank = true;
        }
        if (!blank) continue;
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
