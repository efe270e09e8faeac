// The tool button of a statistics window that opens a graph: a click opens the graph of the
// parameter last chosen, its pop-up menu chooses another parameter and opens that one.
#pragma once

#include <QList>
#include <QPair>
#include <QToolButton>

class QActionGroup;

namespace zev7 {

class GraphParamButton : public QToolButton {
    Q_OBJECT

public:
    // Each parameter with its menu caption and the graph kind it opens; the first is chosen.
    GraphParamButton(const QString& text, const QList<QPair<QString, int>>& params,
                     QWidget* parent = nullptr);

    // The graph kind of the chosen parameter.
    int chosenKind() const;
    // Chooses the parameter that opens this kind and opens it.
    void choose(int kind);

signals:
    void graphRequested(int kind);

private:
    QActionGroup* group_;
};

// The parameters of the test-call window: the three levels with their histograms or their
// call-by-call graphs.
QList<QPair<QString, int>> histogramParams();
QList<QPair<QString, int>> perCallParams();
// The parameters of the parameter-statistics window: the results 2..16, then the three levels.
QList<QPair<QString, int>> byCycleParams();

}  // namespace zev7
