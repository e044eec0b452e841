#ifndef ABOUT_H
#define ABOUT_H

#include <QDialog>

namespace Ui { class About; }

// Help > About...: product, credits and licences.
class About : public QDialog
{
    Q_OBJECT
public:
    explicit About(QWidget* parent = nullptr);
    ~About() override;

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void on_buttonBox_accepted();

private:
    Ui::About* ui;
};

#endif
