// A status-bar panel that never cuts its text: it is at least its base width
// and grows to fit what it shows. The panel that takes the rest of the bar
// (the project path) shortens a text that does not fit in its middle and
// shows it whole as its tooltip, so a long path never widens the window.
#pragma once

#include <QLabel>

namespace lintrel {

class StatusPanel : public QLabel {
public:
    enum class Fit { Grow, ShortenInTheMiddle };
    StatusPanel(int baseWidth, Fit fit, QWidget* parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool shortened() const;

    int baseWidth_;
    Fit fit_;
};

}  // namespace lintrel
