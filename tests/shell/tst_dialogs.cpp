// The small dialogs: duplicating a sprite (link or copy) and About.
#include "about.h"
#include "spritedupl.h"
#include "testsupport.h"

#include <QtTest>
#include <QtWidgets>

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void spriteDuplForm();
    void spriteDuplAnswers_data();
    void spriteDuplAnswers();
    void aboutTexts();
};

void TestDialogs::spriteDuplForm()
{
    SpriteDupl d;
    QCOMPARE(d.objectName(), QString("SpriteDupl"));
    QCOMPARE(d.windowTitle(), QString("Duplicar sprite"));
    QCOMPARE(d.size(), QSize(210, 89));
    auto* link = d.findChild<QRadioButton*>("duplLink");
    auto* copy = d.findChild<QRadioButton*>("duplCopy");
    auto* box = d.findChild<QDialogButtonBox*>("duplBtnBox");
    QVERIFY(link && copy && box);
    QCOMPARE(link->text(), QString("Linkar a imagem"));
    QCOMPARE(copy->text(), QString("Duplicar a imagem"));
    QCOMPARE(link->geometry(), QRect(10, 10, 191, 17));
    QCOMPARE(copy->geometry(), QRect(10, 30, 191, 17));
    QCOMPARE(box->geometry(), QRect(10, 50, 191, 32));
    QCOMPARE(box->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QVERIFY(link->isChecked()); // a link costs nothing: the default
    QVERIFY(!d.isCopy());
}

void TestDialogs::spriteDuplAnswers_data()
{
    QTest::addColumn<bool>("chooseCopy");
    QTest::addColumn<bool>("ok");
    QTest::newRow("link, ok") << false << true;
    QTest::newRow("copy, ok") << true << true;
    QTest::newRow("copy, cancel") << true << false;
}

void TestDialogs::spriteDuplAnswers()
{
    QFETCH(bool, chooseCopy);
    QFETCH(bool, ok);
    SpriteDupl d;
    // Press the real buttons, as a person does.
    QTimer::singleShot(0, &d, [&] {
        if (chooseCopy)
            d.findChild<QRadioButton*>("duplCopy")->click();
        auto* box = d.findChild<QDialogButtonBox*>("duplBtnBox");
        box->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    QCOMPARE(d.exec(), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(d.isCopy(), chooseCopy);
}

void TestDialogs::aboutTexts()
{
    About a;
    QCOMPARE(a.windowTitle(), QString("About..."));
    QCOMPARE(a.size(), QSize(400, 213));
    auto* product = a.findChild<QLabel*>("productLabel");
    QVERIFY(product);
    QCOMPARE(product->text(), QString("Quendar Morvane 9"));
    QVERIFY(product->font().bold());
    QCOMPARE(product->font().pointSize(), 10);
    auto* box = a.findChild<QDialogButtonBox*>("buttonBox");
    QVERIFY(box->centerButtons());
    QCOMPARE(box->standardButtons(), QDialogButtonBox::Ok);

    // Every text fits the dialog.
    a.show();
    QVERIFY(QTest::qWaitForWindowExposed(&a));
    QCOMPARE(a.size(), QSize(400, 213));
    for (QLabel* l : a.findChildren<QLabel*>()) {
        QVERIFY(a.rect().contains(l->geometry()));
        QVERIFY2(l->height() >= l->heightForWidth(l->width()) || !l->wordWrap(), qPrintable(l->text()));
        if (!l->wordWrap())
            QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
    }
    testsupport::saveSnapshot(&a, "about");

    product->setText("x");
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&a, &change);
    QCOMPARE(product->text(), QString("Quendar Morvane 9"));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
