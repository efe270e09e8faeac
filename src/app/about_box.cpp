#include "app/about_box.h"

#include "core/program_dir.h"
#include "core/strings.h"
#include "ui/frame/help_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace zev7 {

namespace {
constexpr int kPictureMaxWidth = 360;
}  // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(txt(str::AboutCaption));
    setHelpContext(this, kAboutHelpContext);
    auto* layout = new QVBoxLayout(this);

    const QPixmap picture(programPath(QStringLiteral("ZEV7.jpg")));
    if (!picture.isNull()) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("ProgramIcon"));
        image->setPixmap(picture.width() > kPictureMaxWidth
                             ? picture.scaledToWidth(kPictureMaxWidth, Qt::SmoothTransformation)
                             : picture);
        image->setAlignment(Qt::AlignCenter);
        layout->addWidget(image);
    }
    auto* name = new QLabel(QStringLiteral("<h2>%1</h2>").arg(txt(str::ProgramName)), this);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* version = new QLabel(
        txt(str::AboutVersion).arg(txt(str::ProgramVersion), txt(str::ProgramDate)), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    auto* description = new QLabel(txt(str::AboutDescription), this);
    description->setWordWrap(true);
    layout->addWidget(description);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { showHelp(kAboutHelpContext); });
    layout->addWidget(buttons);
}

}  // namespace zev7
