#include "error.h"

namespace zol {
namespace {

struct KindText {
  const char* name;
  const wchar_t* text;
};

KindText Describe(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::FileNotFound:
      return {"file not found", L"ファイルが見つかりません。場所を確かめて下さい。"};
    case ErrorKind::InputPastEnd:
      return {"input past end of file",
              L"ファイルの終わりを越えて読み込もうとしました。10 行そろっているか確かめて下さい。"};
    case ErrorKind::LineTooLong:
      return {"line too long", L"行が長すぎます（32767 バイトまで）。ファイルを直して下さい。"};
    case ErrorKind::TooManyLines:
      return {"too many lines", L"行数が 1000 行を超えているため、書き換えられません。"};
    case ErrorKind::TypeMismatch:
      return {"type mismatch", L"型が一致しません（数値ではありません）。ファイルを直して下さい。"};
    case ErrorKind::AccessDenied:
      return {"access denied",
              L"書き込み禁止のため、ファイルを書き換えられません。元のファイルはそのままです。"
              L"ファイルの読み取り専用を外してから、やり直して下さい。"};
    case ErrorKind::InUse:
      return {"in use",
              L"他のプログラムが使用中のため、ファイルにアクセスできません。"
              L"そのプログラムを終えてから、やり直して下さい。"};
    case ErrorKind::FolderRefuses:
      return {"folder refuses new files",
              L"フォルダーに新しいファイルを作れないため、書き換えられません。"
              L"元のファイルはそのままです。フォルダーとディスクに書き込めるようにしてから、"
              L"やり直して下さい。"};
    case ErrorKind::IsFolder:
      return {"is a folder",
              L"ファイルの場所に同じ名前のフォルダーがあります。"
              L"フォルダーの名前を変えるか、ファイルの場所を確かめて下さい。"};
    case ErrorKind::DiskFull:
      return {"disk full",
              L"ディスクがいっぱいのため、書き込めませんでした。元のファイルはそのままです。"
              L"空きを作ってから、やり直して下さい。"};
    case ErrorKind::CannotRead:
      return {"cannot read", L"ファイルを読み込めません。ディスクとファイルを確かめて下さい。"};
    case ErrorKind::WriteFailed:
      return {"write failed",
              L"ファイルを書き込めませんでした。元のファイルはそのままです。"
              L"ディスクを確かめてから、やり直して下さい。"};
    case ErrorKind::NotRepresentable:
      return {"not representable", L"シフト JIS（コードページ 932）で表せない文字があります。"};
    case ErrorKind::LineBreakInValue:
      return {"line break in value",
              L"改行または NUL 文字を含む値は書き込めません。ファイルはそのままです。"};
    case ErrorKind::NoPlaceForEntry:
      return {"no place for the entry",
              L"SCRNSAVE.EXE の行も DisplayFallback の行もないため、"
              L"スクリーンセイバーの設定を書き込む場所がありません。"};
    case ErrorKind::CannotStart:
      return {"cannot start", L"プログラムを起動できません。"};
    case ErrorKind::CannotReadFolder:
      return {"cannot read folder", L"ドライブまたはディレクトリを読み込めません。"};
    case ErrorKind::NothingPicked:
      return {"nothing picked", L"スクリーンセイバーが選ばれていません。"};
    case ErrorKind::NotShiftJis:
      return {
          "not shift jis",
          L"ファイルが UTF-8 で保存されています。シフト JIS（コードページ 932）で保存して下さい。"};
    case ErrorKind::RegistryFailed:
      return {"registry failed",
              L"スクリーンセイバーの設定をレジストリに書き込めませんでした。"
              L"system.ini は既に書き換えられています。"};
    case ErrorKind::PolicyDecides:
      return {"policy decides",
              L"管理者のポリシーがスクリーンセイバーを決めているため、この選択は効果がありません。"
              L"何も変更していません。"};
    case ErrorKind::NothingToPause:
      return {"nothing to pause",
              L"スクリーンセイバーは既にオフになっているため、休止するものがありません。"};
    case ErrorKind::NotOnThisWindows:
      return {"not on this windows",
              L"この Windows には、この設定がありません。何も変更していません。"};
    case ErrorKind::Unexpected:
      return {"unexpected", L"予期しないエラーが発生しました。"};
  }
  return {"unknown", L""};
}

// A path of about the longest that Windows takes, with the middle cut out of a longer one, so
// that both the drive and the file name stay in view and the message box stays quick.
std::wstring Shortened(const std::wstring& text) {
  constexpr size_t kKept = 128;
  if (text.size() <= 2 * kKept + 1) return text;
  return text.substr(0, kKept) + L"…" + text.substr(text.size() - kKept);
}

}  // namespace

Error Error::AfterEntryChanged() const {
  Error error = *this;
  error.afterEntryChanged_ = true;
  return error;
}

std::wstring Error::Text() const {
  std::wstring text;
  if (afterEntryChanged_) {
    text = L"スクリーンセイバーは変更しましたが、設定（zol.ini）は保存できませんでした。\n\n";
  }
  text += Describe(kind_).text;
  if (!subject_.empty()) text += L"\n\n" + Shortened(subject_);
  if (!detail_.empty()) text += L"\n" + Shortened(detail_);
  return text;
}

const char* Error::what() const noexcept { return Describe(kind_).name; }

}  // namespace zol
