// Run once as it is and once with QT_SCALE_FACTOR=2 (see window_tests.cmake):
// at either scale every window has its designed size in device-independent
// pixels, its picture is that size times the scale, the picture scaled down
// matches the window drawn at scale 1, and the same texts are cut.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "ui/twips.h"
#include "window_test.h"

namespace studyhop {
namespace {

using test::sjis;
using test::writeBytes;

// Mean difference per colour channel between two pictures of one size.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
                   std::abs(qBlue(p[col]) - qBlue(q[col]));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

class HighDpiTest : public test::WindowTest {};

// The title picture was one 1x bitmap, blurry when scaled up to 2x.
TEST_F(HighDpiTest, TitlePictureHasAPixelForEveryDevicePixel) {
    windows->show(WindowId::Form1);
    auto* picture = windows->loaded(WindowId::Form1)->findChild<QLabel*>(QStringLiteral("Picture1"));
    ASSERT_NE(picture, nullptr);
    const QPixmap title = picture->pixmap();
    const qreal ratio = picture->devicePixelRatioF();
    EXPECT_EQ(title.deviceIndependentSize().toSize(), QSize(229, 132));
    EXPECT_GE(title.width(), qRound(229 * ratio));
}

TEST_F(HighDpiTest, EveryWindowScalesWholeWithItsLayout) {
    const qreal scale = QGuiApplication::primaryScreen()->devicePixelRatio();
    windows->show(WindowId::Form1);
    const QString longName = QStringLiteral("とても長い名前の問題ファイル_第一回模擬試験.qz2");
    writeBytes(longName.toStdString(),
               sjis("1\r\n"
                    "次の文章のうち、日本の歴史における鎌倉幕府の成立から室町幕府の滅亡までの出来事として"
                    "正しいものを一つ選び、その番号を答えなさい。ただし年号は西暦とする。,東京,大阪,京都,ﾅｼ,ﾅｼ,1,0,0,ﾅｼ\r\n"));
    state().setF_name(longName);
    state().setText1(longName);
    state().setFileState(FileState::Current);
    // The designed client sizes in twips.
    struct {
        WindowId id;
        int width;
        int height;
    } const windowsToCheck[] = {
        {WindowId::Form1, 5070, 2265}, {WindowId::System, 4680, 1080},
        {WindowId::Form5, 4110, 585},  {WindowId::Form7, 3240, 2175},
        {WindowId::Form3, 3630, 1065}, {WindowId::Form4, 6345, 3120},
        {WindowId::Form2, 6045, 3255},
    };
    for (const auto& w : windowsToCheck) {
        QWidget* window = windows->show(w.id);
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(window->objectName().toStdString());
        // Twips are laid out at 96 dpi in device-independent pixels.
        EXPECT_EQ(window->size(), QSize(w.width / 15, w.height / 15));
        const QPixmap shot = window->grab();
        EXPECT_EQ(shot.size(), window->size() * scale);
        QImage one(window->size(), QImage::Format_RGB32);
        one.fill(Qt::white);
        window->render(&one);
        const QImage down = shot.toImage().scaled(window->size(), Qt::IgnoreAspectRatio,
                                                  Qt::SmoothTransformation);
        EXPECT_LT(meanDifference(down, one), 12.0) << "the layout differs from scale 1";
    }
    // The same labels are cut as at scale 1: the long question and file name
    // in the quiz, the long file name in the editor, nothing else.
    QStringList cut;
    for (WindowId id : {WindowId::Form4, WindowId::Form2}) {
        for (const QLabel* label : windows->loaded(id)->findChildren<QLabel*>()) {
            if (!label->toolTip().isEmpty()) {
                cut << windows->loaded(id)->objectName() + QLatin1Char('.') + label->objectName();
            }
        }
    }
    cut.sort();
    EXPECT_EQ(cut.join(QLatin1Char(' ')).toStdString(), "Form2.Label9 Form4.Label17 Form4.Label2");
}

}  // namespace
}  // namespace studyhop
