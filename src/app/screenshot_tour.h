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

class TMainForm;

class ScreenshotTour : public QObject {
    Q_OBJECT

public:
    ScreenshotTour(TMainForm& window, int port, QString directory, QObject* parent = nullptr);
    void start();

private:
    void takePictures();
    void shoot(const QString& name);

    TMainForm& window_;
    int port_;
    QString directory_;
};

}  // namespace zev7
