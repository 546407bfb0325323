// results_text_tests: the Results text, then its view, in one program drawn offscreen.
#include <QApplication>

int RunResultsTextTests(int argc, char** argv);
int RunResultsTextViewTests(int argc, char** argv);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = RunResultsTextTests(argc, argv);
    failed += RunResultsTextViewTests(argc, argv);
    return failed;
}
