#include "spritedupl.h"
#include "ui_spritedupl.h"

SpriteDupl::SpriteDupl(QWidget* parent) : QDialog(parent), ui(new Ui::SpriteDupl)
{
    ui->setupUi(this);
}

SpriteDupl::~SpriteDupl()
{
    delete ui;
}

bool SpriteDupl::isCopy() const
{
    return ui->duplCopy->isChecked();
}

void SpriteDupl::on_duplBtnBox_accepted()
{
    accept();
}

void SpriteDupl::on_duplBtnBox_rejected()
{
    reject();
}
