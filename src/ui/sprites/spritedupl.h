#ifndef SPRITEDUPL_H
#define SPRITEDUPL_H

#include <QDialog>

namespace Ui { class SpriteDupl; }

// Asks how a sprite is duplicated: as a link to the same image (the default,
// it costs no space in the archive) or as a copy of the image.
class SpriteDupl : public QDialog
{
    Q_OBJECT
public:
    explicit SpriteDupl(QWidget* parent = nullptr);
    ~SpriteDupl() override;

    bool isCopy() const;

private slots:
    void on_duplBtnBox_accepted();
    void on_duplBtnBox_rejected();

private:
    Ui::SpriteDupl* ui;
};

#endif
