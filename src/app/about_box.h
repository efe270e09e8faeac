// TAboutForm, "О программе...": the version, its date, what the program does, and the
// picture "ZEV7.jpg" of the program directory when it is there.
#pragma once

#include <QDialog>

namespace zev7 {

inline constexpr int kAboutHelpContext = 10;

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);
};

}  // namespace zev7
