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
      return {"file not found", L"ファイルが見つかりません。"};
    case ErrorKind::InputPastEnd:
      return {"input past end of file", L"ファイルの終わりを越えて読み込もうとしました。"};
    case ErrorKind::TooManyLines:
      return {"too many lines", L"行数が 1000 行を超えているため、書き換えられません。"};
    case ErrorKind::TypeMismatch:
      return {"type mismatch", L"型が一致しません（数値ではありません）。"};
    case ErrorKind::AccessDenied:
      return {"access denied", L"書き込み禁止のため、ファイルにアクセスできません。"};
    case ErrorKind::WriteFailed:
      return {"write failed", L"ファイルを書き込めませんでした。元のファイルはそのままです。"};
    case ErrorKind::NotRepresentable:
      return {"not representable", L"シフト JIS（コードページ 932）で表せない文字があります。"};
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
  }
  return {"unknown", L""};
}

}  // namespace

std::wstring Error::Text() const {
  std::wstring text = Describe(kind_).text;
  if (!subject_.empty()) text += L"\n\n" + subject_;
  return text;
}

const char* Error::what() const noexcept { return Describe(kind_).name; }

}  // namespace zol
