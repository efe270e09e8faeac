#include "ui/frame/help_window.h"

#include "core/install_layout.h"
#include "core/strings.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QWidget>

namespace zev7 {

namespace {

constexpr char kHelpContextProperty[] = "zev7HelpContext";
constexpr int kHelpWidth = 640;
constexpr int kHelpHeight = 520;

QString topicFile(int context) {
    return context == 0 ? QStringLiteral("index.html") : QStringLiteral("%1.html").arg(context);
}

QPointer<QTextBrowser>& helpWindow() {
    static QPointer<QTextBrowser> window;
    return window;
}

}  // namespace

void setHelpContext(QWidget* widget, int context) {
    if (widget != nullptr) {
        widget->setProperty(kHelpContextProperty, context);
    }
}

int helpContextOf(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QVariant context = w->property(kHelpContextProperty);
        if (context.isValid() && context.toInt() != 0) {
            return context.toInt();
        }
    }
    return 0;
}

void showHelp(int context) {
    QPointer<QTextBrowser>& window = helpWindow();
    if (window.isNull()) {
        window = new QTextBrowser;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setWindowTitle(txt(str::HelpCaption));
        window->setOpenExternalLinks(false);
        window->setSearchPaths({helpDir()});
        window->resize(kHelpWidth, kHelpHeight);
    }
    const QString file = topicFile(context);
    if (QFileInfo::exists(QDir(helpDir()).filePath(file))) {
        window->setSource(QUrl(file));
    } else {
        window->setPlainText(
            txt(str::HelpMissing).arg(context).arg(QDir(helpDir()).filePath(file)));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace zev7
