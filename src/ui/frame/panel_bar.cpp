#include "ui/frame/panel_bar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

namespace zev7 {

namespace {
constexpr int kTextPadding = 6;
}  // namespace

PanelBar::PanelBar(const QList<int>& widths, QWidget* parent) : QFrame(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    for (int w : widths) {
        auto* l = new QLabel;
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setTextFormat(Qt::PlainText);
        l->installEventFilter(this);
        if (w > 0) {
            l->setFixedWidth(w);
            layout->addWidget(l);
        } else {
            layout->addWidget(l, 1);
        }
        labels_.append(l);
    }
}

void PanelBar::setText(int panel, const QString& text) {
    if (QLabel* l = label(panel); l != nullptr && l->text() != text) {
        l->setText(text);
        // A fixed panel is widened to a text longer than it ("Базовое время:" in a larger
        // font): a caption cut short reads as another word.
        if (l->minimumWidth() == l->maximumWidth()) {
            const int needed = l->fontMetrics().horizontalAdvance(text) + 2 * l->frameWidth() +
                               2 * l->margin() + kTextPadding;
            if (needed > l->minimumWidth()) {
                l->setFixedWidth(needed);
            }
        }
    }
}

QString PanelBar::text(int panel) const {
    const QLabel* l = label(panel);
    return l != nullptr ? l->text() : QString();
}

void PanelBar::setHint(int panel, const QString& hint) {
    if (QLabel* l = label(panel)) {
        l->setToolTip(hint);
    }
}

void PanelBar::setWidget(int panel, QWidget* widget) {
    QLabel* l = label(panel);
    if (l == nullptr) {
        return;
    }
    auto* inner = new QHBoxLayout(l);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(widget);
}

bool PanelBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const qsizetype i = labels_.indexOf(static_cast<QLabel*>(watched));
        if (i >= 0 && isEnabled()) {
            emit panelPressed(static_cast<int>(i), static_cast<QMouseEvent*>(event)->button());
            return true;
        }
    } else if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        // The panel under the mouse stands out; the others lie flat.
        if (auto* l = qobject_cast<QLabel*>(watched)) {
            l->setFrameShadow(event->type() == QEvent::Enter ? QFrame::Raised : QFrame::Sunken);
        }
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace zev7
