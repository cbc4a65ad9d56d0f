// The highlighting definitions for other editors (data/highlighting) against
// the window's own line highlighter and its Classic colours: the same states,
// the same colours, and the same colouring of the examples, so that neither
// can change without the other.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <optional>

#include "editor/colour_schemes.h"
#include "editor/line_highlighter.h"
#include "editor/project_codec.h"

using namespace lintrel;
using Colours = QList<HighlightColour>;  // one per character

namespace {

// The window's states in HighlightColour order, with their TextMate scopes.
struct State {
    const char* name;
    const char* scope;  // empty: plain text has no scope
};
constexpr State kStates[] = {
    {"Plain", ""},
    {"Label", "entity.name.label.lintrel"},
    {"Directive", "keyword.control.directive.lintrel"},
    {"Number", "constant.numeric.lintrel"},
    {"Comment", "comment.line.lintrel"},
    {"String", "string.quoted.double.lintrel"},
    {"Brace", "constant.character.escape.lintrel"},
};
static_assert(std::size(kStates) == kHighlightRgb.size());

QString sourcePath(const QString& relative) {
    return QDir(QString::fromLocal8Bit(qgetenv("LINTREL_SOURCE_DIR"))).filePath(relative);
}

QByteArray readSource(const QString& relative) {
    QFile file(sourcePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString hexColour(HighlightColour colour) {
    const Rgb rgb = colourScheme(ColourSchemeId::Classic).tokens[static_cast<std::size_t>(colour)];
    return QStringLiteral("#%1%2%3")
        .arg(rgb.red, 2, 16, QLatin1Char('0'))
        .arg(rgb.green, 2, 16, QLatin1Char('0'))
        .arg(rgb.blue, 2, 16, QLatin1Char('0'));
}

std::optional<HighlightColour> colourOfHex(const QString& hex) {
    for (std::size_t i = 0; i < kHighlightRgb.size(); ++i) {
        const auto colour = static_cast<HighlightColour>(i);
        if (hexColour(colour).compare(hex, Qt::CaseInsensitive) == 0) return colour;
    }
    return std::nullopt;
}

// The window's colouring of one line, character by character.
Colours windowColours(const QString& line) {
    Colours colours(line.size(), HighlightColour::Black);
    for (const ColourRun& run : highlightLine(line)) {
        for (int i = run.start; i < run.start + run.length && i < line.size(); ++i) colours[i] = run.colour;
    }
    return colours;
}

QString describe(const QString& line, const Colours& colours) {
    QString text = line + QStringLiteral("  ");
    for (const HighlightColour colour : colours) text += QString::number(static_cast<int>(colour));
    return text;
}

// Every line of the examples.
QStringList exampleLines() {
    QStringList lines;
    QDirIterator files(sourcePath(QStringLiteral("examples")), {QStringLiteral("*.lpj")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = file.readAll();
        lines += textFromCodePage1250(std::string_view(bytes.constData(), bytes.size()))
                     .split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    }
    return lines;
}

// Lines as projects write them: labels, directives, literals in strings,
// comments and code.
const QStringList kOrdinaryLines = {
    QStringLiteral("\\loop PRINT 10"),
    QStringLiteral("&C=10"),
    QStringLiteral("PRINT \"A|B\""),
    QStringLiteral("A=1{41}2"),
    QStringLiteral("10\\x"),
    QStringLiteral("\tPOKE 16384,{41}:GOTO \\start | back {7C} to the start"),
    QStringLiteral("PRINT \"A{41}B\";X1"),
    QStringLiteral("&E=emu -run {22}x{22}"),
    QStringLiteral("\\a{41} B"),
    QStringLiteral("IF A$=\"Y\" THEN 20"),
    QString(),
};

// Every line of up to four characters made of the ones the rules read.
QStringList everyShortLine() {
    const QString alphabet = QStringLiteral("\\&1|\"{} \tA");
    QStringList lines, previous = {QString()};
    for (int length = 1; length <= 4; ++length) {
        QStringList next;
        for (const QString& start : previous) {
            for (const QChar c : alphabet) next << start + c;
        }
        lines += next;
        previous = next;
    }
    return lines;
}

// The KDE definition as data: item colours and context names, rule targets.
struct KateDefinition {
    QMap<QString, QString> itemColour;  // item name -> "#rrggbb" or empty
    QMap<QString, QString> itemStyle;
    QStringList items, contexts;
    QStringList references;  // every context a rule or context names
    QStringList attributes;  // every attribute a rule or context names
    QStringList ruleKinds;
    QMap<QString, QString> lineEnd;  // context -> lineEndContext
    QXmlStreamAttributes language;
};

KateDefinition readKateDefinition(const QByteArray& xml) {
    KateDefinition definition;
    QXmlStreamReader reader(xml);
    QString context;  // the context being read; empty outside one
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == QLatin1String("context")) context.clear();
        if (!reader.isStartElement()) continue;
        const QXmlStreamAttributes a = reader.attributes();
        const QString element = reader.name().toString();
        if (element == QLatin1String("language")) {
            definition.language = a;
        } else if (element == QLatin1String("context")) {
            context = a.value(QLatin1String("name")).toString();
            definition.contexts << context;
            definition.lineEnd[context] = a.value(QLatin1String("lineEndContext")).toString();
            definition.attributes << a.value(QLatin1String("attribute")).toString();
            if (a.hasAttribute(QLatin1String("fallthroughContext"))) {
                definition.references << a.value(QLatin1String("fallthroughContext")).toString();
            }
        } else if (element == QLatin1String("itemData")) {
            const QString name = a.value(QLatin1String("name")).toString();
            definition.items << name;
            definition.itemColour[name] = a.value(QLatin1String("color")).toString();
            definition.itemStyle[name] = a.value(QLatin1String("defStyleNum")).toString();
        } else if (!context.isEmpty()) {
            definition.ruleKinds << element;
            definition.references << a.value(QLatin1String("context")).toString();
            if (a.hasAttribute(QLatin1String("attribute"))) {
                definition.attributes << a.value(QLatin1String("attribute")).toString();
            }
        }
    }
    if (reader.hasError()) definition.contexts.clear();
    return definition;
}

// The colours kate-syntax-highlighter gives each character of its HTML
// output: a span's colour, or plain text outside spans.
QList<Colours> coloursOfHtml(const QString& html) {
    QList<Colours> lines(1);
    const qsizetype begin = html.indexOf(QLatin1String("<pre>")) + 5;
    const qsizetype end = html.lastIndexOf(QLatin1String("</pre>"));
    const QLatin1String spanStart("<span style=\""), spanEnd("</span>"), colourKey("color:");
    HighlightColour colour = HighlightColour::Black;
    for (qsizetype i = html.at(begin) == QLatin1Char('\n') ? begin + 1 : begin; i < end;) {
        const QStringView rest = QStringView(html).mid(i, end - i);
        if (rest.startsWith(spanStart)) {
            const qsizetype close = rest.indexOf(QLatin1String("\">"));
            const QStringView style = rest.mid(spanStart.size(), close - spanStart.size());
            const qsizetype key = style.indexOf(colourKey);
            const QString hex = key < 0 ? QString() : style.mid(key + colourKey.size(), 7).toString();
            colour = colourOfHex(hex).value_or(HighlightColour::Black);
            i += close + 2;
        } else if (rest.startsWith(spanEnd)) {
            colour = HighlightColour::Black;
            i += spanEnd.size();
        } else if (rest.startsWith(QLatin1Char('\n'))) {
            lines.append(Colours());
            ++i;
        } else {
            lines.last().append(colour);  // one character, or one entity such as &amp;
            i += rest.startsWith(QLatin1Char('&')) ? rest.indexOf(QLatin1Char(';')) + 1 : 1;
        }
    }
    return lines;
}

// A small TextMate engine for the rules the grammar uses (match with
// captures, begin/end with name and patterns, include of the repository),
// run on one line: at each place the earliest match wins, the end pattern
// first on a tie. The grammar must end every region by the end of the line.
class TextMateLine {
public:
    TextMateLine(const QJsonObject& grammar, const QMap<QString, QString>& scopeColours)
        : grammar_(grammar), colours_(scopeColours) {}

    std::optional<Colours> colour(const QString& line) const {
        Colours colours(line.size(), HighlightColour::Black);
        QList<QJsonObject> stack = {grammar_};  // the open regions, the grammar itself first
        qsizetype position = 0;
        for (int guard = 0; guard < 4 * line.size() + 16; ++guard) {
            const QJsonObject frame = stack.last();
            qsizetype bestStart = -1;
            QRegularExpressionMatch best;
            QJsonObject bestRule;
            bool bestIsEnd = false;
            auto consider = [&](const QString& pattern, const QJsonObject& rule, bool isEnd) {
                const auto match = QRegularExpression(pattern).match(line, position);
                if (!match.hasMatch() || (bestStart >= 0 && match.capturedStart() >= bestStart)) return;
                bestStart = match.capturedStart();
                best = match;
                bestRule = rule;
                bestIsEnd = isEnd;
            };
            if (frame.contains(QLatin1String("end")))
                consider(frame[QLatin1String("end")].toString(), frame, true);
            for (const QJsonObject& rule : expand(frame[QLatin1String("patterns")].toArray())) {
                consider(rule.contains(QLatin1String("match")) ? rule[QLatin1String("match")].toString()
                                                               : rule[QLatin1String("begin")].toString(),
                         rule, false);
            }
            const HighlightColour around = colourOf(stack);
            if (bestStart < 0) {
                paint(colours, position, line.size(), around);
                return stack.size() == 1 ? std::optional(colours) : std::nullopt;
            }
            paint(colours, position, bestStart, around);
            position = best.capturedEnd();
            if (bestIsEnd) {
                paint(colours, bestStart, position, around);
                stack.removeLast();
            } else if (bestRule.contains(QLatin1String("match"))) {
                paint(colours, bestStart, position, colourOf(stack + QList<QJsonObject>{bestRule}));
                const QJsonObject captures = bestRule[QLatin1String("captures")].toObject();
                for (auto it = captures.begin(); it != captures.end(); ++it) {
                    const int group = it.key().toInt();
                    paint(colours, best.capturedStart(group), best.capturedEnd(group),
                          scopeColour(it.value().toObject()[QLatin1String("name")].toString(), around));
                }
            } else {
                stack.append(bestRule);
                paint(colours, bestStart, position, colourOf(stack));
            }
            if (position >= line.size() && stack.size() == 1) return colours;
        }
        return std::nullopt;  // no progress: a rule matches the empty string
    }

private:
    QList<QJsonObject> expand(const QJsonArray& patterns) const {
        QList<QJsonObject> rules;
        for (const QJsonValue& value : patterns) {
            QJsonObject rule = value.toObject();
            const QString include = rule[QLatin1String("include")].toString();
            if (include.startsWith(QLatin1Char('#'))) {
                rule = grammar_[QLatin1String("repository")].toObject()[include.mid(1)].toObject();
            }
            if (rule.contains(QLatin1String("match")) || rule.contains(QLatin1String("begin"))) {
                rules << rule;
            } else {
                rules += expand(rule[QLatin1String("patterns")].toArray());
            }
        }
        return rules;
    }
    HighlightColour scopeColour(const QString& scope, HighlightColour otherwise) const {
        // A scope the theme does not colour shows the colour of the one around it.
        if (!colours_.contains(scope)) return otherwise;
        return colourOfHex(colours_.value(scope)).value_or(HighlightColour::Black);
    }
    // The innermost coloured scope of the open regions (and a match rule);
    // the first frame is the grammar, whose name is no scope.
    HighlightColour colourOf(const QList<QJsonObject>& frames) const {
        HighlightColour colour = HighlightColour::Black;
        for (const QJsonObject& rule : frames.mid(1))
            colour = scopeColour(rule[QLatin1String("name")].toString(), colour);
        return colour;
    }
    static void paint(Colours& colours, qsizetype from, qsizetype to, HighlightColour colour) {
        for (qsizetype i = std::max<qsizetype>(from, 0); i < to && i < colours.size(); ++i)
            colours[i] = colour;
    }

    QJsonObject grammar_;
    QMap<QString, QString> colours_;
};

QJsonObject readJson(const QString& relative) {
    return QJsonDocument::fromJson(readSource(relative)).object();
}

}  // namespace

class HighlightingDefinitionsTest : public QObject {
    Q_OBJECT
private slots:
    void kateDefinitionNamesTheWindowsStatesAndColours() {
        const KateDefinition definition = readKateDefinition(readSource("data/highlighting/lintrel.xml"));
        QVERIFY2(!definition.contexts.isEmpty(), "lintrel.xml is not well-formed XML");
        QStringList names;
        for (const State& state : kStates) names << QLatin1String(state.name);
        QCOMPARE(definition.items, names);
        QCOMPARE(definition.itemColour["Plain"], QString());  // the editor's own text colour
        QCOMPARE(definition.itemStyle["Plain"], QStringLiteral("dsNormal"));
        for (std::size_t i = 1; i < std::size(kStates); ++i) {
            QCOMPARE(definition.itemColour[kStates[i].name].toLower(),
                     hexColour(static_cast<HighlightColour>(i)));
        }
        QVERIFY(definition.language.value("extensions").toString().split(';').contains("*.lpj"));
        QVERIFY(
            definition.language.value("mimetype").toString().split(';').contains("text/x-lintrel-project"));
    }

    // What KDE's loader checks, for machines without its tools: every rule
    // is a kind the definition means to use, names existing items and
    // contexts, and every line starts again in the first context.
    void kateDefinitionIsWellFormed() {
        const KateDefinition definition = readKateDefinition(readSource("data/highlighting/lintrel.xml"));
        QVERIFY(!definition.contexts.isEmpty());
        for (const QString& kind : definition.ruleKinds) {
            QVERIFY2(QSet<QString>({"DetectChar", "AnyChar", "IncludeRules"}).contains(kind),
                     qPrintable(kind));
        }
        for (const QString& attribute : definition.attributes) {
            QVERIFY2(definition.items.contains(attribute), qPrintable(attribute));
        }
        for (QString reference : definition.references) {
            if (reference == QLatin1String("#stay") || reference == QLatin1String("#pop")) continue;
            if (reference.startsWith(QLatin1String("#pop!"))) reference = reference.mid(5);
            QVERIFY2(definition.contexts.contains(reference), qPrintable(reference));
        }
        QCOMPARE(definition.contexts.count(definition.contexts.first()), 1);
        QCOMPARE(definition.lineEnd[definition.contexts.first()], QStringLiteral("#stay"));
        for (const QString& context : definition.contexts.mid(1)) {
            QCOMPARE(definition.lineEnd[context], QStringLiteral("#pop"));
        }
    }

    // KDE's own engine colours the examples and every short line exactly as
    // the window does.
    void kateEngineColoursAsTheWindowDoes() {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("kate-syntax-highlighter"));
        if (tool.isEmpty())
            QSKIP("kate-syntax-highlighter is not installed (scripts/install-deps.sh installs it)");
        QTemporaryDir data, empty;
        QVERIFY(QDir(data.path()).mkpath("org.kde.syntax-highlighting/syntax"));
        QVERIFY(QFile::copy(sourcePath("data/highlighting/lintrel.xml"),
                            data.filePath("org.kde.syntax-highlighting/syntax/lintrel.xml")));
        const QStringList lines = exampleLines() + kOrdinaryLines + everyShortLine();
        QFile input(data.filePath("lines.lpj"));
        QVERIFY(input.open(QIODevice::WriteOnly));
        input.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        input.close();

        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", data.path());
        environment.insert("XDG_DATA_DIRS", empty.path());  // no other copy of the definition
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        run.setProcessEnvironment(environment);
        run.start(tool, {"--syntax", "Lintrel Project", "--output-format", "html", input.fileName()});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitCode(), 0);
        const QList<Colours> kate = coloursOfHtml(QString::fromUtf8(run.readAllStandardOutput()));
        QVERIFY2(kate.size() >= lines.size(), qPrintable(QString::number(kate.size())));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const Colours window = windowColours(lines[i]);
            QVERIFY2(kate[i] == window, qPrintable("window " + describe(lines[i], window) + "\nkate   " +
                                                   describe(lines[i], kate[i])));
        }
    }

    void textMateThemeGivesEachScopeTheWindowsColour() {
        const QJsonObject theme =
            readJson("data/highlighting/vscode/themes/lintrel-classic-color-theme.json");
        QCOMPARE(theme["colors"].toObject()["editor.foreground"].toString(),
                 hexColour(HighlightColour::Black));
        QCOMPARE(theme["colors"].toObject()["editor.background"].toString(), QStringLiteral("#ffffff"));
        QMap<QString, QString> colours;
        for (const QJsonValue& token : theme["tokenColors"].toArray()) {
            colours[token["scope"].toString()] = token["settings"].toObject()["foreground"].toString();
        }
        QCOMPARE(colours.size(), static_cast<qsizetype>(std::size(kStates) - 1));
        for (std::size_t i = 1; i < std::size(kStates); ++i) {
            QCOMPARE(colours.value(kStates[i].scope).toLower(), hexColour(static_cast<HighlightColour>(i)));
        }
        const QByteArray grammar = readSource("data/highlighting/vscode/syntaxes/lintrel.tmLanguage.json");
        for (std::size_t i = 1; i < std::size(kStates); ++i)
            QVERIFY2(grammar.contains(kStates[i].scope), kStates[i].scope);
    }

    // The VS Code folder names files that exist, for .lpj.
    void vscodeExtensionPointsAtItsFiles() {
        const QJsonObject contributes =
            readJson("data/highlighting/vscode/package.json")["contributes"].toObject();
        const QJsonObject language = contributes["languages"].toArray().first().toObject();
        QCOMPARE(language["extensions"].toArray().first().toString(), QStringLiteral(".lpj"));
        QCOMPARE(language["mimetypes"].toArray().first().toString(),
                 QStringLiteral("text/x-lintrel-project"));
        const QJsonObject grammar = contributes["grammars"].toArray().first().toObject();
        QCOMPARE(
            grammar["scopeName"].toString(),
            readJson("data/highlighting/vscode/syntaxes/lintrel.tmLanguage.json")["scopeName"].toString());
        for (const QJsonValue& entry : contributes["grammars"].toArray() + contributes["themes"].toArray()) {
            const QString path = QDir::cleanPath("data/highlighting/vscode/" + entry["path"].toString());
            QVERIFY2(QFile::exists(sourcePath(path)), qPrintable(path));
        }
    }

    // The grammar and its theme colour the examples and the usual kinds of
    // line as the window does.
    void textMateGrammarColoursAsTheWindowDoes() {
        const QJsonObject theme =
            readJson("data/highlighting/vscode/themes/lintrel-classic-color-theme.json");
        QMap<QString, QString> colours;
        for (const QJsonValue& token : theme["tokenColors"].toArray()) {
            colours[token["scope"].toString()] = token["settings"].toObject()["foreground"].toString();
        }
        const TextMateLine grammar(readJson("data/highlighting/vscode/syntaxes/lintrel.tmLanguage.json"),
                                   colours);
        for (const QString& line : exampleLines() + kOrdinaryLines) {
            const auto textMate = grammar.colour(line);
            QVERIFY2(textMate, qPrintable("a region does not end with the line: " + line));
            const Colours window = windowColours(line);
            QVERIFY2(*textMate == window, qPrintable("window    " + describe(line, window) + "\ntextmate  " +
                                                     describe(line, *textMate)));
        }
    }
};

QTEST_MAIN(HighlightingDefinitionsTest)
#include "highlighting_definitions_test.moc"
