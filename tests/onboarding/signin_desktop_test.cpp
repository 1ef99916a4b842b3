#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "onboarding/agreementfooter.h"
#include "onboarding/agreementview.h"
#include "onboarding/agreementviewmodel.h"
#include "onboarding/authview.h"
#include "onboarding/authviewmodel.h"
#include "onboarding/errorline.h"
#include "onboarding/invitecodeview.h"
#include "onboarding/languagepicker.h"
#include "onboarding/languagepopover.h"
#include "onboarding/linkbutton.h"
#include "onboarding/progressbutton.h"
#include "onboarding/signinform.h"
#include "theme/cybertextfield.h"
#include "theme/palette.h"
#include "signintest.h"
#include "testenvironment.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

// The sign-in window on the test desktop. With VELTRINE_SCREENSHOT_DIR set,
// every picture taken is also saved there for a look.
class SignInOnScreen : public SignInTest {
 protected:
  SignInOnScreen() {
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(VELTRINE_APP_ICON)));
    LanguageManager::shared().setCurrent(AppLanguage::en);
  }

  static QImage shoot(QWidget& window, const QString& name) {
    EXPECT_TRUE(waitUntil([&] { return window.isVisible() && window.windowHandle()->isExposed(); }));
    QTest::qWait(300);  // glows and effects are composed on the first paints
    const QImage shot =
        window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_ARGB32);
    const QString folder = qEnvironmentVariable("VELTRINE_SCREENSHOT_DIR");
    if (!folder.isEmpty()) shot.save(QDir(folder).filePath(name + QStringLiteral(".png")));
    return shot;
  }

  // Pixels of `area` close to `colour`.
  static int count(const QImage& shot, const QRect& area, const QColor& colour) {
    int matches = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor pixel = shot.pixel(x, y);
        matches += std::abs(pixel.red() - colour.red()) < 40 && std::abs(pixel.green() - colour.green()) < 40 &&
                   std::abs(pixel.blue() - colour.blue()) < 40;
      }
    }
    return matches;
  }

  static QRect areaOf(QWidget* part, QWidget& window) {
    return QRect(part->mapTo(&window, QPoint(0, 0)), part->size());
  }
};

TEST_F(SignInOnScreen, TheStagesOfTheFormAreDrawnInTheirColours) {
  REQUIRE_TEST_DESKTOP();
  service.route("POST", apiPath("/auth/send-code"), ScriptedResponse::json(200, "{}"));
  service.route("POST", apiPath("/auth/verify"), serviceError(400, "INVALID_CODE"));
  AuthView view;
  view.show();
  view.resize(view.sizeHint());
  const QImage email = shoot(view, QStringLiteral("signin-email"));
  EXPECT_EQ(email.width(), AuthView::fixedWidth);

  QTest::keyClicks(view.signInForm()->emailField(), QStringLiteral("ann@example.com"));
  awaitTask(view.viewModel().sendCode());
  QTest::keyClicks(view.signInForm()->codeField(), QStringLiteral("123456"));
  awaitTask(view.viewModel().verifyCode());
  view.resize(view.sizeHint());
  const QImage code = shoot(view, QStringLiteral("signin-code-error"));
  EXPECT_GT(count(code, areaOf(view.signInForm()->errorLine(), view), Palette::neonRed), 30);
  EXPECT_GT(count(code, areaOf(view.signInForm()->primaryButton(), view), Palette::neonGreen), 30);
}

TEST_F(SignInOnScreen, TheInviteStepFillsTheWindow) {
  REQUIRE_TEST_DESKTOP();
  service.route("POST", apiPath("/auth/verify"),
                ScriptedResponse::json(200, R"({"token":"","email":"","require_invite":true})"));
  service.route("POST", apiPath("/auth/verify-invite"), serviceError(400, "INVALID_INVITE_CODE"));
  AuthView view;
  view.show();
  view.viewModel().setEmail(QStringLiteral("new@example.com"));
  view.viewModel().setCode(QStringLiteral("123456"));
  awaitTask(view.viewModel().verifyCode());
  ASSERT_NE(view.inviteCodeView(), nullptr);
  QTest::keyClicks(view.inviteCodeView()->codeField(), QStringLiteral("abcdefgh"));
  view.inviteCodeView()->submitButton()->click();
  ASSERT_TRUE(waitUntil([&] { return view.inviteCodeView()->errorLine()->isVisible(); }));
  view.resize(view.sizeHint());
  const QImage shot = shoot(view, QStringLiteral("signin-invite"));
  EXPECT_GT(count(shot, areaOf(view.inviteCodeView()->errorLine(), view), Palette::neonRed), 30);
}

TEST_F(SignInOnScreen, TheLanguagePopoverOpensUnderItsButtonAndClosesOnAClickElsewhere) {
  REQUIRE_TEST_DESKTOP();
  AuthView view;
  view.show();
  view.resize(view.sizeHint());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  LanguagePicker& picker = *view.languagePicker();
  QTest::mouseClick(&picker, Qt::LeftButton);
  ASSERT_TRUE(waitUntil([&] { return picker.isPopoverShown(); }));
  LanguagePopover& popover = *picker.popover();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
  // Its arrow points at the button, under it where the screen has room, and
  // it is whole on the screen.
  const QRect button(picker.mapToGlobal(QPoint(0, 0)), picker.size());
  const QRect panel = popover.frameGeometry();
  EXPECT_NEAR(panel.center().x(), button.center().x(), 2);
  if (popover.pointsUp()) {
    EXPECT_EQ(panel.top(), button.bottom() + 1);
  } else {
    EXPECT_EQ(panel.bottom(), button.top() - 1);
  }
  EXPECT_TRUE(picker.screen()->availableGeometry().contains(panel));
  shoot(popover, QStringLiteral("signin-language-popover"));
  shoot(view, QStringLiteral("signin-with-popover"));

  // Moved up the screen, the window has room for it below the button.
  popover.close();
  view.move(view.x(), 0);
  ASSERT_TRUE(waitUntil([&] { return view.y() < 100; }));
  QTest::mouseClick(&picker, Qt::LeftButton);
  ASSERT_TRUE(waitUntil([&] { return picker.isPopoverShown(); }));
  EXPECT_TRUE(popover.pointsUp());
  EXPECT_EQ(popover.frameGeometry().top(), picker.mapToGlobal(QPoint(0, picker.height())).y());

  // A click on the window closes the popover without reaching what is under it.
  QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(waitUntil([&] { return !picker.isPopoverShown(); }));
  // And the button opens it again, and closes it as a toggle.
  QTest::mouseClick(&picker, Qt::LeftButton);
  EXPECT_TRUE(waitUntil([&] { return picker.isPopoverShown(); }));
}

TEST_F(SignInOnScreen, TheAgreementSheetKeepsItsSizeOverTheWindowWhateverTheDocument) {
  REQUIRE_TEST_DESKTOP();
  QString document = QStringLiteral("# Terms of Service\n\nBy using **Veltrine** you agree to these terms.\n\n");
  for (int i = 1; i <= 40; ++i) {
    document += QStringLiteral("%1. A clause with a [link](https://example.com/%1) and `code`.\n").arg(i);
  }
  QJsonObject body{{QStringLiteral("content"), document}};
  service.enqueue("GET", "/veltrine/api/v1/agreements",
                  ScriptedResponse::json(200, QJsonDocument(body).toJson(QJsonDocument::Compact)));
  service.enqueue("GET", "/veltrine/api/v1/agreements", serviceError(500, "PROVIDER_ERROR"));
  AuthView view;
  view.show();
  view.resize(view.sizeHint());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

  view.agreementFooter()->termsLink()->click();
  AgreementView* sheet = view.agreementView();
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(sheet));
  ASSERT_TRUE(waitUntil([&] { return !sheet->viewModel().isLoading(); }));
  EXPECT_EQ(sheet->size(), QSize(AgreementView::sheetWidth, AgreementView::sheetHeight));
  EXPECT_TRUE(sheet->isModal() || sheet->windowModality() != Qt::NonModal);
  const QImage shot = shoot(*sheet, QStringLiteral("agreement-document"));
  EXPECT_EQ(shot.size(), QSize(AgreementView::sheetWidth, AgreementView::sheetHeight));
  sheet->reject();
  ASSERT_TRUE(waitUntil([&] { return view.agreementView() == nullptr; }));

  view.agreementFooter()->privacyLink()->click();
  sheet = view.agreementView();
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(waitUntil([&] { return sheet->currentPage() == sheet->failedPage(); }));
  const QImage failed = shoot(*sheet, QStringLiteral("agreement-failed"));
  EXPECT_GT(count(failed, areaOf(sheet->retryButton(), *sheet), Palette::neonCyan), 20);
}

}  // namespace
