// The current format's scan of the blank form: chosen from 格式 → 底图…, drawn faintly behind
// the fields in the window's picture and in the preview while 显示底图 is ticked, never printed.
#include <cmath>

#include <QAction>

#include "ChequeCanvas.h"
#include "ChequeTab.h"
#include "FormatBackground.h"
#include "MainWindow.h"
#include "NumberText.h"
#include "PreviewWindow.h"
#include "Prompts.h"

using namespace Qt::StringLiterals;

namespace {

const QString kPictures = u"图片|*.png *.jpg *.jpeg"_s;

}  // namespace

void MainWindow::reloadBackground() {
    m_background.reset();
    if (m_printFormat)
        m_background = storedFaintBackground(m_services.db, *m_printFormat, m_cheque.kind());
    m_chequeTab->canvas()->setBackground(shownBackground());
}

const FaintPicture* MainWindow::shownBackground() const {
    const bool shown = m_showBackgroundAction && m_showBackgroundAction->isChecked();
    return shown && m_background ? &*m_background : nullptr;
}

void MainWindow::showBackground(bool shown) {
    m_chequeTab->canvas()->setBackground(shownBackground());
    if (m_preview)
        m_preview->setBackgroundShown(shown);
}

void MainWindow::chooseBackground() {
    m_chequeTab->finishEditing();
    const QString name = m_displays.currentFormat;
    const QString kind = m_cheque.kind().id.toString();
    const std::optional<FormatBackground> stored = storedBackground(m_services.db, name, kind);
    if (!stored)
        return;
    const auto keep = [&](const FormatBackground& background, const QString& done) {
        const BackgroundStored outcome = storeBackground(m_services.db, name, kind, background);
        if (outcome == BackgroundStored::Failed)
            return;
        reloadBackground();
        if (m_preview)
            m_preview->redraw();
        m_services.prompts.message(
            outcome == BackgroundStored::Stored ? done : u"没有这个格式：%1"_s.arg(name), {},
            PromptButtons::Ok);
    };
    if (!stored->image.isEmpty()) {
        const std::optional<int> chosen =
            m_services.prompts.choose(u"格式“%1”已有底图。"_s.arg(name), u"底图"_s,
                                      {u"更换底图"_s, u"清除底图"_s, u"取消"_s});
        if (chosen == 1)
            keep({}, u"底图已清除。"_s);
        if (chosen != 0)
            return;
    }
    const QString source =
        m_services.prompts.openFile(FilePurpose::Background, u"选择底图"_s, kPictures);
    if (source.isEmpty())
        return;
    const auto refuse = [this](const QString& why) {
        m_services.prompts.message(u"无法使用底图：%1"_s.arg(why), {}, PromptButtons::Ok);
    };
    QString why;
    std::optional<FormatBackground> background = backgroundFromFile(source, 0, &why);
    if (!background)
        return refuse(why);
    // The scan's own resolution is offered where it makes the picture about as wide as the
    // form; a picture that names none reports the screen's, which would not.
    const std::optional<QImage> picture = backgroundPicture(*background, &why);
    const double own = qRound(picture->dotsPerMeterX() * 0.0254);
    const double front =
        frontSize(m_cheque.kind(), m_printFormat ? m_printFormat->page.s : 0).width();
    const bool likely = own >= kFewestBackgroundDpi && own <= kMostBackgroundDpi &&
                        std::abs(picture->width() * 25.4 / own / front - 1) <= 0.15;
    const QString answer =
        m_services.prompts
            .inputBox(u"请输入图片的分辨率（点/英寸）；输入0则按单据大小放置："_s, u"底图"_s,
                      likely ? numberText(own) : u"0"_s)
            .trimmed();
    if (answer.isEmpty())
        return;
    bool isNumber = false;
    background->dotsPerInch = answer.toDouble(&isNumber);
    if (!isNumber)
        return refuse(u"分辨率不是数字"_s);
    if (!backgroundPicture(*background, &why))
        return refuse(why);
    keep(*background, u"底图已保存。"_s);
}
