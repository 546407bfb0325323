#include "execution/StandardReport.h"

#include "core/CustomMemoryException.h"
#include "core/FileException.h"
#include "core/HistoryOutput.h"
#include "core/ODBCException.h"
#include "core/SyntaxException.h"

#include <algorithm>
#include <string>

namespace marlix {

void ReportFailure(std::exception_ptr failure, HistoryOutput& history) {
    try {
        std::rethrow_exception(failure);
    } catch (const CODBCException& e) {
        if (e.Position() >= 0)
            history.MarkErrorLine(static_cast<size_t>(e.Position() + std::max(0, e.RowNumber())));
        history.AppendText(e.Message(), true);
        history.MarkError();
    } catch (const CSyntaxException& e) {
        history.MarkErrorLine(static_cast<size_t>(std::max(0, e.Offset())));
        // The message has no line end of its own; without one the next history text would
        // continue on its line.
        history.AppendText(e.Message() + "\r\n", true);
    } catch (const CCustomMemoryException& e) {
        if (e.HasStatement()) history.MarkErrorLine(static_cast<size_t>(std::max(0, e.Position())));
        std::string text = "Internal error at line " + std::to_string(e.Line()) + " : " + e.Message();
        if (!e.Column().empty())
            text += "at the value of column " + e.Column() + " in row " + std::to_string(e.Row()) + "\r\n";
        history.AppendText(text, true);
        history.MarkError();
    } catch (const CFileException& e) {
        history.ShowMessage(e.what());
    } catch (...) {
        history.ShowMessage("Internal application error");
    }
}

} // namespace marlix
