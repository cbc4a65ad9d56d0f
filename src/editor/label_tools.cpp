#include "editor/label_tools.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeWidget>
#include <algorithm>

#include "editor/build_panel.h"
#include "editor/dialogs.h"
#include "editor/project_codec.h"
#include "text/code_page_1250.h"

namespace lintrel {

namespace {

enum Column { kName, kBasicLine, kReferences };
constexpr int kLineRole = Qt::UserRole;

bool sameLabels(const std::vector<LabelInfo>& a, const std::vector<LabelInfo>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const LabelInfo& x, const LabelInfo& y) {
        return x.line == y.line && x.basicLine == y.basicLine && x.references == y.references && x.name == y.name;
    });
}

// The user's name as code page bytes; nullopt when a character has none.
std::optional<std::string> codePageName(const QString& name) {
    std::string bytes;
    for (const QChar c : name) {
        const auto byte = unicodeToCodePage1250(c.unicode());
        if (!byte) return std::nullopt;
        bytes += static_cast<char>(*byte);
    }
    return bytes;
}

}  // namespace

OutlinePanel::OutlinePanel(QWidget* parent) : QDockWidget(QStringLiteral("Outline"), parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("OutlinePanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    list_->setObjectName(QStringLiteral("OutlineList"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Label"), QStringLiteral("BASIC line"), QStringLiteral("References")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(kName, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(kBasicLine, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(kReferences, QHeaderView::ResizeToContents);
    setWidget(list_);
    auto go = [this](QTreeWidgetItem* item) {
        const int line = item->data(kName, kLineRole).toInt();
        emit placeChosen(line, 0, static_cast<int>(item->text(kName).size()), true);
    };
    connect(list_, &QTreeWidget::itemClicked, this, go);
    connect(list_, &QTreeWidget::itemActivated, this, go);
}

void OutlinePanel::setLabels(std::shared_ptr<const LabelUses> uses) {
    uses_ = std::move(uses);
    stale_ = true;
    if (isVisible()) fill();
}

void OutlinePanel::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (stale_) fill();
}

void OutlinePanel::fill() {
    stale_ = false;
    const std::vector<LabelInfo> none;
    const std::vector<LabelInfo>& labels = uses_ ? uses_->labels : none;
    if (sameLabels(labels, shown_) && list_->topLevelItemCount() == static_cast<int>(labels.size())) return;
    shown_ = labels;
    const int scrolled = list_->verticalScrollBar() ? list_->verticalScrollBar()->value() : 0;
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(labels.size()));
    for (const LabelInfo& label : labels) {
        auto* item = new QTreeWidgetItem({textFromCodePage1250(label.name),
                                          label.basicLine == kNoBasicLine ? QString() : QString::number(label.basicLine),
                                          QString::number(label.references)});
        item->setData(kName, kLineRole, label.line);
        item->setTextAlignment(kBasicLine, Qt::AlignRight);
        item->setTextAlignment(kReferences, Qt::AlignRight);
        items.append(item);
    }
    list_->addTopLevelItems(items);
    list_->verticalScrollBar()->setValue(scrolled);
}

LabelCommands::LabelCommands(QPlainTextEdit* editor, QWidget* window, Dialogs& dialogs, BuildPanel& panel,
                             std::function<std::shared_ptr<const LabelUses>()> labels,
                             std::function<void(const QString&)> say)
    : editor_(editor), window_(window), dialogs_(dialogs), panel_(panel), labels_(std::move(labels)), say_(std::move(say)) {}

int LabelCommands::labelAtCaret(const LabelUses& uses) {
    const QTextCursor cursor = editor_->textCursor();
    const LabelUse* use = findLabelUseAt(uses, cursor.blockNumber(), cursor.positionInBlock());
    if (use == nullptr) {
        say_(QStringLiteral("No label at the caret."));
        return -1;
    }
    if (use->label < 0) {
        const QString name = cursor.block().text().mid(use->column, use->length);
        say_(QStringLiteral("No line defines \"%1\".").arg(name));
    }
    return use->label;
}

void LabelCommands::goToDefinition() {
    const auto uses = labels_();
    const int label = labelAtCaret(*uses);
    if (label < 0) return;
    const LabelInfo& info = uses->labels[static_cast<std::size_t>(label)];
    const QTextBlock block = editor_->document()->findBlockByNumber(info.line);
    if (!block.isValid()) return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + static_cast<int>(info.name.size()), QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
    editor_->centerCursor();
    editor_->setFocus();
}

void LabelCommands::showPanel() {
    panel_.show();
    panel_.raise();
}

void LabelCommands::findReferences() {
    const auto uses = labels_();
    const int label = labelAtCaret(*uses);
    if (label < 0) return;
    std::vector<BuildPanel::Place> places;
    for (const LabelUse& use : uses->uses) {
        if (use.label != label || use.definition) continue;
        const QString text = editor_->document()->findBlockByNumber(use.line).text();
        places.push_back({use.line, use.column, use.length, text});
    }
    const QString name = textFromCodePage1250(uses->labels[static_cast<std::size_t>(label)].name);
    const QString title = places.size() == 1 ? QStringLiteral("References to %1: 1").arg(name)
                                             : QStringLiteral("References to %1: %2").arg(name).arg(places.size());
    panel_.addReferences(title, places);
    showPanel();
}

// Sites are replaced from the last to the first, so the columns of those
// still to come stay true; all in one undo step.
void LabelCommands::renameLabel() {
    const auto uses = labels_();
    const int label = labelAtCaret(*uses);
    if (label < 0) return;
    const QString oldName = textFromCodePage1250(uses->labels[static_cast<std::size_t>(label)].name);
    const std::optional<QString> typed = dialogs_.askText(window_, QStringLiteral("Rename label"),
                                                          QStringLiteral("New name for %1:").arg(oldName), oldName);
    if (!typed || *typed == oldName) return;
    const std::optional<std::string> bytes = codePageName(typed->trimmed());
    if (!bytes) {
        dialogs_.showError(window_, QStringLiteral("\"%1\" holds a character that the project's code page lacks.").arg(*typed));
        return;
    }
    const LabelRename plan = planLabelRename(*uses, label, *bytes);
    if (plan.refusal) {
        dialogs_.showError(window_, textFromCodePage1250(*plan.refusal));
        return;
    }
    const QString newName = textFromCodePage1250(plan.newName);
    QTextCursor cursor(editor_->document());
    cursor.beginEditBlock();
    for (auto site = plan.sites.rbegin(); site != plan.sites.rend(); ++site) {
        const QTextBlock block = editor_->document()->findBlockByNumber(site->line);
        cursor.setPosition(block.position() + site->column);
        cursor.setPosition(block.position() + site->column + site->length, QTextCursor::KeepAnchor);
        cursor.insertText(newName);
    }
    cursor.endEditBlock();
    say_(QStringLiteral("%1 renamed to %2 in %3 places.").arg(oldName, newName).arg(plan.sites.size()));
}

}  // namespace lintrel
