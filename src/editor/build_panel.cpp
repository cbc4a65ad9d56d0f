#include "editor/build_panel.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyle>
#include <QLocale>
#include <QTreeWidget>

#include "editor/project_codec.h"

namespace lintrel {

namespace {

enum Role { kLine = Qt::UserRole, kColumn, kLength, kHasColumn, kGoesOnClick };

QString bytes(qint64 size) {
    return QStringLiteral("%1 bytes").arg(size);
}

void setPlace(QTreeWidgetItem* item, const Diagnostic& diagnostic) {
    item->setData(0, kLine, diagnostic.line);
    item->setData(0, kColumn, diagnostic.column);
    item->setData(0, kLength, diagnostic.length);
    item->setData(0, kHasColumn, diagnostic.selects);
}

const QColor kErrorColour(190, 0, 0);
const QColor kWarningColour(150, 80, 0);

void markError(QTreeWidgetItem* item) {
    item->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical));
    item->setForeground(0, kErrorColour);
}

void markWarning(QTreeWidgetItem* item) {
    item->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
    item->setForeground(0, kWarningColour);
}

void showNewest(QTreeWidget* list, QTreeWidgetItem* entry) {
    entry->setExpanded(true);
    while (list->topLevelItemCount() > BuildPanel::kKeptBuilds) delete list->takeTopLevelItem(0);
    list->setCurrentItem(entry);
    list->scrollToItem(entry);
}

}  // namespace

BuildPanel::BuildPanel(QWidget* parent)
    : QDockWidget(QStringLiteral("Build"), parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("BuildPanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    list_->setObjectName(QStringLiteral("BuildList"));
    list_->setHeaderHidden(true);
    list_->setColumnCount(1);
    list_->setRootIsDecorated(true);
    list_->setUniformRowHeights(true);
    list_->setTextElideMode(Qt::ElideMiddle);
    setWidget(list_);
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { activate(item); });
    // A list of references is for going through: one click goes.
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, kGoesOnClick).toBool()) activate(item);
    });
}

// "line:column: message", counted from 1 as the status bar counts.
QString BuildPanel::diagnosticText(const Diagnostic& diagnostic) {
    const QString message = textFromCodePage1250(diagnostic.message);
    if (diagnostic.line < 0) return message;
    return QStringLiteral("%1:%2: %3").arg(diagnostic.line + 1).arg(diagnostic.column + 1).arg(message);
}

QString BuildPanel::buildText(const BuildReport& report) {
    QStringList parts = {report.finished.toString(QStringLiteral("HH:mm:ss")),
                         report.platform.isEmpty() ? QStringLiteral("no platform") : report.platform};
    if (report.error) {
        parts << diagnosticText(*report.error);
    } else if (!report.failure.isEmpty()) {
        parts << report.failure;
    } else {
        QString written = report.outputPath + QStringLiteral(", ") + bytes(report.fileSize);
        if (report.programSize) written += QStringLiteral(", BASIC code ") + bytes(*report.programSize);
        parts << written;
    }
    return parts.join(QStringLiteral("   "));
}

void BuildPanel::addBuild(const BuildReport& report) {
    auto* entry = new QTreeWidgetItem(list_, {buildText(report)});
    if (report.error) setPlace(entry, *report.error);
    if (report.error || !report.failure.isEmpty()) markError(entry);
    for (const Diagnostic& warning : report.warnings) {
        auto* item = new QTreeWidgetItem(entry, {QStringLiteral("warning: ") + diagnosticText(warning)});
        setPlace(item, warning);
        markWarning(item);
    }
    showNewest(list_, entry);
}

void BuildPanel::addReferences(const QString& title, const std::vector<Place>& places) {
    auto* entry = new QTreeWidgetItem(list_, {title});
    for (const Place& place : places) {
        auto* item = new QTreeWidgetItem(
            entry, {QStringLiteral("%1:%2: %3").arg(place.line + 1).arg(place.column + 1).arg(place.text.trimmed())});
        setPlace(item, Diagnostic{{}, place.line, place.column, place.length, true});
        item->setData(0, kGoesOnClick, true);
    }
    showNewest(list_, entry);
}

void BuildPanel::activate(QTreeWidgetItem* item) {
    const QVariant line = item->data(0, kLine);
    if (!line.isValid() || line.toInt() < 0) return;
    emit placeChosen(line.toInt(), item->data(0, kColumn).toInt(), item->data(0, kLength).toInt(),
                     item->data(0, kHasColumn).toBool());
}

}  // namespace lintrel
