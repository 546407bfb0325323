// bench_results_text: a batch output of a million INSERT statements handed to the Results pane,
// against one plain pass over the same text in memory (counting its line breaks): the time from
// the batch's end to the pane drawn, and the memory the pane adds to the text.
#include "execution/Batch.h"
#include "results/text/ResultsTextView.h"
#include "support/BenchTable.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace marlix;
using namespace marlix::bench;

namespace {

constexpr long kStatements = 1000000;
constexpr int kRounds = 5; // for the figures that can be measured again on the same text

// The output of a batch that converted bench_rows into INSERT statements, one per line, written
// into a sink the way the batch writes it (reserved at the batch's size, growing by 1 MiB).
std::unique_ptr<MemoryTextSink> InsertStatements() {
    auto sink = std::make_unique<MemoryTextSink>(Batch::kMemorySinkSize);
    sink->SetGrowable(true);
    char line[512];
    for (long i = 1; i <= kStatements; ++i) {
        const char* note = i % 10 < 3 ? "NULL" : i % 17 == 0 ? "'O''Brien''s note'" : "'note number'";
        int n = std::snprintf(line, sizeof line,
                              "INSERT INTO bench_rows (id, name, qty, created, note, flag) VALUES(%ld, "
                              "'customer %ld', %.2f, '01.%02ld.2020 %02ld:%02ld:%02ld.000', %s, %ld)\r\n",
                              i, i, double(i % 100000) * 1.25, 1 + i % 28, i / 3600 % 24, i / 60 % 60, i % 60,
                              note, i % 2);
        sink->WriteBytes(line, static_cast<size_t>(n));
    }
    sink->SetGrowable(false);
    return sink;
}

// One pass over the text the quickest plain way: the C library's search for each line feed.
// The same size of text in the shortest lines a conversion writes (one small number a line):
// the index's cost does not grow with the number of lines.
std::unique_ptr<MemoryTextSink> ShortLines(size_t bytes) {
    auto sink = std::make_unique<MemoryTextSink>(Batch::kMemorySinkSize);
    sink->SetGrowable(true);
    for (long i = 0; sink->Length() < bytes; ++i)
        sink->Write(i % 2 ? "1\r\n" : "0\r\n");
    sink->SetGrowable(false);
    return sink;
}

size_t CountBreaks(std::string_view text) {
    size_t breaks = 0;
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p))));
         ++p)
        ++breaks;
    return breaks;
}

double Milliseconds(double seconds) {
    return seconds * 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    // The pane as it is before the batch ends: shown, drawn once, empty.
    ResultsTextView view;
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    view.viewport()->repaint();

    std::unique_ptr<MemoryTextSink> output = InsertStatements();
    const std::string_view text = output->View();
    const double megabytes = double(text.size()) / 1048576.0;

    // Baseline: one pass over the text in memory.
    double baseline = 1e100;
    size_t breaks = 0;
    for (int round = 0; round < kRounds; ++round) {
        double start = Now();
        breaks = CountBreaks(text);
        baseline = std::min(baseline, Now() - start);
    }

    // The batch has ended: its output goes to the pane, which is drawn at the new output.
    const long rssBefore = CurrentRss();
    const double ended = Now();
    const size_t begin = view.Text().Append(std::move(output));
    view.TextChanged();
    const double indexed = Now();
    view.ScrollToOffset(begin);
    view.viewport()->repaint();
    const double shown = Now();
    const long rssAfter = CurrentRss();
    const double toShown = shown - ended;
    const size_t indexBytes = view.Text().IndexBytes();
    const size_t lineCount = view.Text().LineCount(), longest = view.Text().MaxLineLength();
    const double rssGrowth = double(rssAfter - rssBefore);

    // Drawing elsewhere in the text: the end, the middle, and one line down.
    double start = 0;
    double paintEnd = 1e100, paintMiddle = 1e100, paintStep = 1e100;
    for (int round = 0; round < kRounds; ++round) {
        view.ScrollToEnd();
        start = Now();
        view.viewport()->repaint();
        paintEnd = std::min(paintEnd, Now() - start);
        view.ScrollToOffset(view.Text().Length() / 2);
        start = Now();
        view.viewport()->repaint();
        paintMiddle = std::min(paintMiddle, Now() - start);
        start = Now();
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() + 1);
        view.viewport()->repaint();
        paintStep = std::min(paintStep, Now() - start);
    }

    // Find of a text that is not there reads the whole text once.
    double find = 1e100;
    for (int round = 0; round < kRounds; ++round) {
        start = Now();
        bool found = view.Text().Find("VALUES(0,", 0).has_value();
        find = std::min(find, Now() - start);
        if (found) std::printf("unexpected match\n");
    }

    // Copy All puts the whole text on the clipboard as Unicode.
    const long rssBeforeCopy = CurrentRss();
    start = Now();
    view.CopyAll();
    const double copyAll = Now() - start;
    const double copyGrowth = double(PeakRss() - rssBeforeCopy);

    // Short lines: drop the INSERT text first, so that only one large text is in memory.
    view.Text().Clear();
    view.TextChanged();
    std::unique_ptr<MemoryTextSink> shortLines = ShortLines(size_t(megabytes * 1048576.0));
    const size_t shortBytes = shortLines->Length();
    double shortBaseline = 1e100;
    size_t shortBreaks = 0;
    for (int round = 0; round < kRounds; ++round) {
        start = Now();
        shortBreaks = CountBreaks(shortLines->View());
        shortBaseline = std::min(shortBaseline, Now() - start);
    }
    start = Now();
    view.Text().Append(std::move(shortLines));
    view.TextChanged();
    view.ScrollToEnd();
    view.viewport()->repaint();
    const double shortShown = Now() - start;
    const size_t shortIndex = view.Text().IndexBytes();
    const size_t shortLineCount = view.Text().LineCount();
    if (shortLineCount != shortBreaks + 1)
        std::printf("short lines: %zu lines indexed for %zu breaks\n", shortLineCount, shortBreaks);

    const double ratio = toShown / baseline;
    const double indexShare = 100.0 * double(indexBytes) / double(text.size());
    const double rssShare = 100.0 * rssGrowth / double(text.size());
    std::printf(
        "text: %ld INSERT statements, %zu line breaks, %zu lines indexed, %.1f MB, longest line %zu bytes\n",
        kStatements, breaks, lineCount, megabytes, longest);
    std::printf("baseline, one pass counting line breaks:   %8.1f ms  (%.0f MB/s)\n", Milliseconds(baseline),
                megabytes / baseline);
    std::printf(
        "batch end to Results pane drawn:            %8.1f ms  (%.1f x baseline; target <= 1000 ms)\n",
        Milliseconds(toShown), ratio);
    std::printf("  of which the line index:                  %8.1f ms\n", Milliseconds(indexed - ended));
    std::printf("  of which the first drawing:               %8.1f ms\n", Milliseconds(shown - indexed));
    std::printf(
        "memory beyond the text: index %.2f MB (%.2f%%), resident growth %.2f MB (%.2f%%); target <= 10%%\n",
        double(indexBytes) / 1048576.0, indexShare, rssGrowth / 1048576.0, rssShare);
    std::printf("drawing at the end %.2f ms, in the middle %.2f ms, one line down %.2f ms\n",
                Milliseconds(paintEnd), Milliseconds(paintMiddle), Milliseconds(paintStep));
    std::printf("find of an absent text over the whole text: %8.1f ms  (%.1f x baseline)\n",
                Milliseconds(find), find / baseline);
    std::printf("Copy All to the clipboard:                  %8.1f ms  (peak memory +%.0f MB)\n",
                Milliseconds(copyAll), copyGrowth / 1048576.0);
    std::printf(
        "short lines, %zu lines in %.1f MB: drawn at the end in %.1f ms (baseline %.1f ms), index %.2f%% of "
        "the text\n",
        shortLineCount, double(shortBytes) / 1048576.0, Milliseconds(shortShown), Milliseconds(shortBaseline),
        100.0 * double(shortIndex) / double(shortBytes));
    const bool within = toShown <= 1.0 && rssShare <= 10.0 && indexShare <= 10.0;
    std::printf("targets (drawn within 1 s, at most 10%% beyond the text): %s\n",
                within ? "met" : "[outside target]");
    return 0;
}
