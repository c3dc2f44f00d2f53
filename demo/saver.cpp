// The demo's screen saver: started without arguments, as a screen saver opens its settings, it
// says that it has none.
#include <windows.h>

int main() {
  MessageBoxW(nullptr, L"これはデモ用のスクリーンセイバーです。設定できる項目はありません。",
              L"スクリーンセイバーの設定", MB_OK | MB_ICONINFORMATION);
}
