#include "localization/desktophelpstrings.h"

#include "localization/languagemanager.h"

namespace {

using namespace Qt::StringLiterals;

const DesktopHelpStrings kZh{
    u"Veltrine 需要桌面的信任"_s,
    u"Veltrine 无法监听快捷键，也无法向其他应用输入文字：%1。\n\n请登录 X11 会话（或带 XWayland 的会话）后重新启动 Veltrine。"_s,
    u"麦克风设置"_s,
    u"此桌面上找不到声音设置程序。\n\n请确认麦克风已连接、未静音，并已设为默认输入设备，例如使用 PulseAudio 音量控制（pavucontrol）。"_s,
    u"辅助功能设置"_s,
    u"此桌面上找不到辅助功能设置程序。\n\nVeltrine 需要带有 XTEST 和 XInput 2 扩展的 X11 会话（或 XWayland），才能监听快捷键并向其他应用输入文字。"_s,
};

const DesktopHelpStrings kZhHant{
    u"Veltrine 需要桌面的信任"_s,
    u"Veltrine 無法監聽快捷鍵，也無法在其他應用程式中輸入文字：%1。\n\n請登入 X11 工作階段（或具備 XWayland 的工作階段）後重新啟動 Veltrine。"_s,
    u"麥克風設定"_s,
    u"在這個桌面上找不到聲音設定程式。\n\n請確認麥克風已連接、未靜音，並已設為預設輸入裝置，例如使用 PulseAudio 音量控制（pavucontrol）。"_s,
    u"輔助使用設定"_s,
    u"在這個桌面上找不到輔助使用設定程式。\n\nVeltrine 需要支援 XTEST 與 XInput 2 擴充功能的 X11 工作階段（或 XWayland），才能監聽快捷鍵並在其他應用程式中輸入文字。"_s,
};

const DesktopHelpStrings kYue{
    u"Veltrine 要桌面信任先用得"_s,
    u"Veltrine 聽唔到快捷鍵，亦冇辦法喺其他應用程式度打字：%1。\n\n請登入 X11 工作階段（或者有 XWayland 嘅工作階段），再開過 Veltrine。"_s,
    u"咪高峰設定"_s,
    u"呢個桌面搵唔到聲音設定程式。\n\n請確認咪高峰已經接好、冇靜音，同埋揀咗做預設輸入，例如用 PulseAudio 音量控制（pavucontrol）嚟揀。"_s,
    u"輔助功能設定"_s,
    u"呢個桌面搵唔到輔助功能設定程式。\n\nVeltrine 要有 XTEST 同 XInput 2 擴充功能嘅 X11 工作階段（或者 XWayland），先至聽到快捷鍵同喺其他應用程式度打字。"_s,
};

const DesktopHelpStrings kEn{
    u"Veltrine needs the desktop's trust"_s,
    u"Veltrine cannot listen to its hotkeys or type into other applications: %1.\n\n"
    u"Log in to an X11 session (or one with XWayland) and start Veltrine again."_s,
    u"Microphone settings"_s,
    u"No sound settings program was found on this desktop.\n\n"
    u"Make sure a microphone is connected, not muted and chosen as the default input, "
    u"for example with the PulseAudio volume control (pavucontrol)."_s,
    u"Accessibility settings"_s,
    u"No accessibility settings program was found on this desktop.\n\n"
    u"Veltrine needs an X11 session (or XWayland) with the XTEST and XInput 2 extensions "
    u"to listen to its hotkeys and to type into other applications."_s,
};

const DesktopHelpStrings kRu{
    u"Veltrine нужно доверие рабочего стола"_s,
    u"Veltrine не может отслеживать сочетания клавиш и вводить текст в другие приложения: %1.\n\n"
    u"Войдите в сеанс X11 (или сеанс с XWayland) и снова запустите Veltrine."_s,
    u"Настройки микрофона"_s,
    u"На этом рабочем столе не найдена программа настройки звука.\n\n"
    u"Убедитесь, что микрофон подключён, не выключен и выбран устройством ввода по умолчанию, "
    u"например в регуляторе громкости PulseAudio (pavucontrol)."_s,
    u"Настройки универсального доступа"_s,
    u"На этом рабочем столе не найдена программа настройки универсального доступа.\n\n"
    u"Чтобы отслеживать сочетания клавиш и вводить текст в другие приложения, Veltrine нужен сеанс X11 "
    u"(или XWayland) с расширениями XTEST и XInput 2."_s,
};

const DesktopHelpStrings kKo{
    u"Veltrine에 데스크톱의 신뢰가 필요합니다"_s,
    u"Veltrine이 단축키를 감지하거나 다른 앱에 텍스트를 입력할 수 없습니다: %1.\n\n"
    u"X11 세션(또는 XWayland가 있는 세션)에 로그인한 뒤 Veltrine을 다시 시작하세요."_s,
    u"마이크 설정"_s,
    u"이 데스크톱에서 사운드 설정 프로그램을 찾을 수 없습니다.\n\n"
    u"마이크가 연결되어 있고 음소거되지 않았으며 기본 입력 장치로 선택되어 있는지 확인하세요. "
    u"예: PulseAudio 볼륨 조절(pavucontrol)."_s,
    u"손쉬운 사용 설정"_s,
    u"이 데스크톱에서 손쉬운 사용 설정 프로그램을 찾을 수 없습니다.\n\n"
    u"Veltrine이 단축키를 감지하고 다른 앱에 텍스트를 입력하려면 XTEST 및 XInput 2 확장을 지원하는 "
    u"X11 세션(또는 XWayland)이 필요합니다."_s,
};

}  // namespace

const DesktopHelpStrings& desktopHelpStrings(AppLanguage language) {
  switch (language) {
    case AppLanguage::zh:
      return kZh;
    case AppLanguage::zhHant:
      return kZhHant;
    case AppLanguage::yue:
      return kYue;
    case AppLanguage::en:
      return kEn;
    case AppLanguage::ru:
      return kRu;
    case AppLanguage::ko:
      return kKo;
  }
  return kEn;
}

const DesktopHelpStrings& currentDesktopHelpStrings() {
  return desktopHelpStrings(LanguageManager::shared().current());
}
