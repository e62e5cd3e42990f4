#include "practice/song_error.h"

#include "perform/ui_text.h"

namespace tonvale {

const char* SongProblemText(SongProblem problem) {
  switch (problem) {
    case SongProblem::kCannotOpen:
    case SongProblem::kTooLarge:
    case SongProblem::kNotUtf8:
    case SongProblem::kNoNotes:
    case SongProblem::kTooLong:
    case SongProblem::kRecording:
      return "";
    case SongProblem::kUnknownWord:
      return TONVALE_UI_TEXT("SongError", "不认识的记号");
    case SongProblem::kChord:
      return TONVALE_UI_TEXT("SongError", "一个词里有两个音（和弦），只能练单旋律");
    case SongProblem::kPercussion:
      return TONVALE_UI_TEXT("SongError", "打击乐记号 x 不能用键盘弹奏");
    case SongProblem::kKeepLength:
      return TONVALE_UI_TEXT("SongError", "不支持 KeepLength");
    case SongProblem::kLilyPondBlock:
      return TONVALE_UI_TEXT("SongError", "不支持 LilyPond 代码块 LP:");
    case SongProblem::kTwoAccidentals:
      return TONVALE_UI_TEXT("SongError", "一个音只能有一个升降号");
    case SongProblem::kOctaveBothWays:
      return TONVALE_UI_TEXT("SongError", "一个音不能同时有高音点和低音点");
    case SongProblem::kMarkedRest:
      return TONVALE_UI_TEXT("SongError", "休止符不能带升降号或高低音点");
    case SongProblem::kTooShort:
      return TONVALE_UI_TEXT("SongError", "时值太短，最多三条减时线");
    case SongProblem::kTwoDots:
      return TONVALE_UI_TEXT("SongError", "一个音只能有一个附点");
    case SongProblem::kTooHigh:
      return TONVALE_UI_TEXT("SongError", "音太高，按住 Shift 也弹不到");
    case SongProblem::kTooLow:
      return TONVALE_UI_TEXT("SongError", "音太低，按住 Ctrl 也弹不到");
    case SongProblem::kBadKey:
      return TONVALE_UI_TEXT("SongError", "不认识的调号");
    case SongProblem::kBadTime:
      return TONVALE_UI_TEXT("SongError", "不认识的拍号");
    case SongProblem::kBadUpbeat:
      return TONVALE_UI_TEXT("SongError", "弱起的时值不对");
    case SongProblem::kBadTempo:
      return TONVALE_UI_TEXT("SongError", "速度须写成 4=每分钟四分音符数，在 20 到 400 之间");
    case SongProblem::kLateTempo:
      return TONVALE_UI_TEXT("SongError", "速度须写在第一个音之前");
    case SongProblem::kTimeInsideBar:
      return TONVALE_UI_TEXT("SongError", "拍号须写在小节开头");
    case SongProblem::kBarLineMisplaced:
      return TONVALE_UI_TEXT("SongError", "小节线不在小节的末尾");
    case SongProblem::kCrossesBarLine:
      return TONVALE_UI_TEXT("SongError", "音越过了小节线，请写成两个用连音线连起来的音");
    case SongProblem::kDashWithoutNote:
      return TONVALE_UI_TEXT("SongError", "增时线前面没有可延长的音");
    case SongProblem::kDashInTuplet:
      return TONVALE_UI_TEXT("SongError", "三连音里的音不能加增时线");
    case SongProblem::kTieWithoutNote:
      return TONVALE_UI_TEXT("SongError", "连音线须连接前后两个音");
    case SongProblem::kTieToOtherPitch:
      return TONVALE_UI_TEXT("SongError", "连音线连接的两个音音高不同");
    case SongProblem::kTieAcrossRepeat:
      return TONVALE_UI_TEXT("SongError", "连音线不能跨过反复记号");
    case SongProblem::kOnlyTriplets:
      return TONVALE_UI_TEXT("SongError", "只支持三连音 3[ ]");
    case SongProblem::kTupletNotClosed:
      return TONVALE_UI_TEXT("SongError", "三连音缺少结尾的 ]");
    case SongProblem::kNestedTuplet:
      return TONVALE_UI_TEXT("SongError", "三连音里不能再有三连音");
    case SongProblem::kStrayBracket:
      return TONVALE_UI_TEXT("SongError", "多余的 ]");
    case SongProblem::kNotInTuplet:
      return TONVALE_UI_TEXT("SongError", "三连音里只能写音符");
    case SongProblem::kNestedRepeat:
      return TONVALE_UI_TEXT("SongError", "反复里不能再有反复");
    case SongProblem::kRepeatNotClosed:
      return TONVALE_UI_TEXT("SongError", "反复缺少结尾的 }");
    case SongProblem::kStrayBrace:
      return TONVALE_UI_TEXT("SongError", "多余的 }");
    case SongProblem::kEndingWithoutRepeat:
      return TONVALE_UI_TEXT("SongError", "不同结尾 A{ } 须紧跟在反复 R{ } 之后");
    case SongProblem::kTextNotClosed:
      return TONVALE_UI_TEXT("SongError", "文字缺少结尾的引号");
    case SongProblem::kGraceNotClosed:
      return TONVALE_UI_TEXT("SongError", "装饰音缺少结尾的 ]");
  }
  return TONVALE_UI_TEXT("SongError", "不认识的记号");
}

const char* SongErrorFormat(const SongError& error) {
  switch (error.problem) {
    case SongProblem::kCannotOpen:
      return MessageFormat(FileError::kCannotOpen);
    case SongProblem::kTooLarge:
      return TONVALE_UI_TEXT("SongError", "文件%s太大，不是歌曲文件.");
    case SongProblem::kNotUtf8:
      return TONVALE_UI_TEXT("SongError", "文件%s不是UTF-8编码的文本.");
    case SongProblem::kNoNotes:
      return TONVALE_UI_TEXT("SongError", "文件%s里没有要弹的音.");
    case SongProblem::kTooLong:
      return TONVALE_UI_TEXT("SongError", "歌曲%s太长，写出反复后超过一百万个音.");
    case SongProblem::kRecording:
      return MessageFormat(error.file_error);
    default:
      return TONVALE_UI_TEXT("SongError", "歌曲%s第%d行的“%s”：%s.");
  }
}

const char* SongErrorContext(const SongError& error) {
  const bool recording_format =
      error.problem == SongProblem::kCannotOpen || error.problem == SongProblem::kRecording;
  return recording_format ? "FileError" : "SongError";
}

std::string SongErrorMessage(const SongError& error, std::string_view name) {
  return SongErrorMessage(error, name,
                          [](const char*, const char* text) { return std::string(text); });
}

std::string SongErrorMessage(const SongError& error, std::string_view name,
                             const TextTranslator& translate) {
  const std::string format = translate(SongErrorContext(error), SongErrorFormat(error));
  const char* reason_text = SongProblemText(error.problem);
  if (error.line == 0 || *reason_text == '\0') {
    return FillFileMessage(format, name);
  }
  const std::string reason = translate("SongError", reason_text);
  // Filled piece by piece, so that a % in the name or the word stays as it is.
  std::string text;
  const char* pieces[] = {"%s", "%d", "%s", "%s"};
  const std::string line = std::to_string(error.line);
  const std::string_view values[] = {name, line, error.word, reason};
  std::size_t from = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t at = format.find(pieces[i], from);
    if (at == std::string::npos) break;
    text.append(format, from, at - from).append(values[i]);
    from = at + 2;
  }
  return text.append(format, from);
}

}  // namespace tonvale
