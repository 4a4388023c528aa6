#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "QtPrompts.h"

using namespace Qt::StringLiterals;

class TestQtPrompts : public QObject {
    Q_OBJECT

private slots:
    void standardButtonsReadInChinese() {
        QVERIFY(installChineseTranslations());
        QMessageBox box(QMessageBox::Question, applicationTitle(), u"是否保存支票打印信息？"_s,
                        QMessageBox::Yes | QMessageBox::No);
        box.show();  // the buttons get their texts when the box is laid out
        QVERIFY(box.button(QMessageBox::Yes)->text().startsWith(u"是"_s));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(u"否"_s));
    }
};

QTEST_MAIN(TestQtPrompts)
#include "tst_qtprompts.moc"
