// The line highlighter's colouring rules, run by run.
#include <QTest>

#include "editor/line_highlighter.h"

using lintrel::ColourRun;
using lintrel::highlightLine;
using C = lintrel::HighlightColour;

Q_DECLARE_METATYPE(std::vector<ColourRun>)

namespace {

// Runs written as (colour, length) pieces from the start of the line.
std::vector<ColourRun> runs(std::initializer_list<std::pair<C, int>> pieces) {
    std::vector<ColourRun> result;
    int start = 0;
    for (const auto& [colour, length] : pieces) {
        result.push_back({start, length, colour});
        start += length;
    }
    return result;
}

const char* name(C colour) {
    static const char* const names[] = {"black", "blue", "purple", "green", "grey", "orange", "red"};
    return names[static_cast<int>(colour)];
}

QString describe(const std::vector<ColourRun>& list) {
    QStringList parts;
    for (const ColourRun& run : list) parts << QStringLiteral("%1@%2+%3").arg(name(run.colour)).arg(run.start).arg(run.length);
    return parts.join(QLatin1Char(' '));
}

}  // namespace

class LineHighlighterTest : public QObject {
    Q_OBJECT
private slots:
    void colours_data();
    void colours();
    void runsCoverTheLineAndTwoMore();
};

void LineHighlighterTest::colours_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<std::vector<ColourRun>>("expected");
    // The last run always reaches two characters past the line (its break).
    QTest::newRow("empty line") << "" << runs({{C::Black, 2}});
    QTest::newRow("label, blanks, number") << "\\loop PRINT 10"
                                           << runs({{C::Blue, 5}, {C::Black, 7}, {C::Green, 2}, {C::Black, 2}});
    QTest::newRow("directive is purple, digits too") << "&C=10" << runs({{C::Purple, 7}});
    QTest::newRow("comment inside a string") << "PRINT \"A|B\""
                                             << runs({{C::Black, 6}, {C::Orange, 2}, {C::LightGrey, 5}});
    QTest::newRow("brace between numbers") << "A=1{41}2"
                                           << runs({{C::Black, 2}, {C::Green, 1}, {C::Red, 4}, {C::Green, 1}, {C::Black, 2}});
    QTest::newRow("backslash after a digit starts nothing") << "10\\x" << runs({{C::Green, 2}, {C::Black, 4}});
    QTest::newRow("ampersand after a digit starts nothing") << "1&C" << runs({{C::Green, 1}, {C::Black, 4}});
    QTest::newRow("digit inside a word") << "A1" << runs({{C::Black, 1}, {C::Green, 1}, {C::Black, 2}});
    QTest::newRow("ampersand in an expression") << "A$=B$&C$" << runs({{C::Black, 5}, {C::Purple, 5}});
    QTest::newRow("string closes with its quote") << "\"AB\"C" << runs({{C::Orange, 4}, {C::Black, 3}});
    QTest::newRow("string without end runs on") << "\"AB 12" << runs({{C::Orange, 8}});
    QTest::newRow("digits in a string stay orange") << "\"1\"2" << runs({{C::Orange, 3}, {C::Green, 1}, {C::Black, 2}});
    QTest::newRow("one saved level: {{X}} stays red") << "{{X}}Y" << runs({{C::Red, 8}});
    QTest::newRow("brace returns to the comment") << "|A{41}B"
                                                  << runs({{C::LightGrey, 2}, {C::Red, 4}, {C::LightGrey, 3}});
    QTest::newRow("closing brace without opening ends a string") << "\"A}B"
                                                                 << runs({{C::Orange, 3}, {C::Black, 3}});
    QTest::newRow("brace inside a string returns to it") << "\"A{22}B\"C"
                                                         << runs({{C::Orange, 2}, {C::Red, 4}, {C::Orange, 2}, {C::Black, 3}});
    QTest::newRow("label ends at a tab") << "\\a\tB" << runs({{C::Blue, 2}, {C::Black, 4}});
    QTest::newRow("label keeps its digits") << "\\a1 2"
                                            << runs({{C::Blue, 3}, {C::Black, 1}, {C::Green, 1}, {C::Black, 2}});
    QTest::newRow("bar inside a directive") << "&E=x|y" << runs({{C::Purple, 4}, {C::LightGrey, 4}});
    QTest::newRow("quote in a comment stays grey") << "|\"x\"" << runs({{C::LightGrey, 6}});
    QTest::newRow("brace at the end of a number") << "12{" << runs({{C::Green, 2}, {C::Red, 3}});
}

void LineHighlighterTest::colours() {
    QFETCH(QString, line);
    QFETCH(std::vector<ColourRun>, expected);
    const auto actual = highlightLine(line);
    QCOMPARE(describe(actual), describe(expected));
}

// Every character gets exactly one colour, whatever the line holds.
void LineHighlighterTest::runsCoverTheLineAndTwoMore() {
    const QString samples[] = {QStringLiteral("\\a&b1\"2{3}|4}\"5{{6}}7"), QStringLiteral("}}}\"\"\"|||{{{"),
                               QString(300, QLatin1Char('9')), QStringLiteral("\t \\ & | { } \" 0")};
    for (const QString& line : samples) {
        int next = 0;
        for (const ColourRun& run : highlightLine(line)) {
            QCOMPARE(run.start, next);
            QVERIFY(run.length > 0);
            next += run.length;
        }
        QCOMPARE(next, static_cast<int>(line.size()) + 2);
    }
}

QTEST_APPLESS_MAIN(LineHighlighterTest)
#include "line_highlighter_test.moc"
