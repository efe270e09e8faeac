// The pictures of the README: started with --screenshots DIR, the program starts the scenario of
// the first port window, lets it make a few calls, photographs the main window with every page
// (and inner page) of that port window in turn, then the scenario scheme, and ends.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class QTabWidget;
class QWidget;

namespace zev7 {

class StatWindows;
class TMainForm;

class ScreenshotTour : public QObject {
    Q_OBJECT

public:
    // With `stats`, the statistics windows are photographed after the port window.
    ScreenshotTour(TMainForm& window, int port, QString directory, StatWindows* stats = nullptr,
                   QObject* parent = nullptr);
    void start();

private:
    void takePictures();
    void shoot(const QString& name);
    void shootRepeatBar(QWidget* portWindow);

    TMainForm& window_;
    int port_;
    QString directory_;
    StatWindows* stats_;
};

}  // namespace zev7
