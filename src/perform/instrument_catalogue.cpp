#include "perform/instrument_catalogue.h"

#include "perform/ui_text.h"

namespace tonvale {

const std::array<InstrumentFamily, 16> InstrumentFamilies = {{
    {TONVALE_UI_TEXT("InstrumentFamily", "钢琴"),
     {{{TONVALE_UI_TEXT("Instrument", "三角钢琴"), 0},
       {TONVALE_UI_TEXT("Instrument", "亮音钢琴"), 1},
       {TONVALE_UI_TEXT("Instrument", "电子三角钢琴"), 2},
       {TONVALE_UI_TEXT("Instrument", "白鬼子钢琴"), 3},
       {TONVALE_UI_TEXT("Instrument", "Rbodes钢琴"), 4},
       {TONVALE_UI_TEXT("Instrument", "合唱钢琴"), 5},
       {TONVALE_UI_TEXT("Instrument", "大键琴"), 6},
       {TONVALE_UI_TEXT("Instrument", "Clavinet"), 7}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "半音打击乐器"),
     {{{TONVALE_UI_TEXT("Instrument", "钢片琴"), 8},
       {TONVALE_UI_TEXT("Instrument", "钟琴"), 9},
       {TONVALE_UI_TEXT("Instrument", "音乐盒"), 10},
       {TONVALE_UI_TEXT("Instrument", "电颤琴"), 11},
       {TONVALE_UI_TEXT("Instrument", "木琴"), 12},
       {TONVALE_UI_TEXT("Instrument", "Xylophone木琴"), 13},
       {TONVALE_UI_TEXT("Instrument", "管钟"), 14},
       {TONVALE_UI_TEXT("Instrument", "洋琴"), 15}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "风琴"),
     {{{TONVALE_UI_TEXT("Instrument", "电子风琴"), 16},
       {TONVALE_UI_TEXT("Instrument", "敲击风琴"), 17},
       {TONVALE_UI_TEXT("Instrument", "摇滚风琴"), 18},
       {TONVALE_UI_TEXT("Instrument", "教堂风琴"), 19},
       {TONVALE_UI_TEXT("Instrument", "簧风琴"), 20},
       {TONVALE_UI_TEXT("Instrument", "Accordian"), 21},
       {TONVALE_UI_TEXT("Instrument", "口琴"), 22},
       {TONVALE_UI_TEXT("Instrument", "探戈Accordian"), 23}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "吉他"),
     {{{TONVALE_UI_TEXT("Instrument", "吉他(尼龙)"), 24},
       {TONVALE_UI_TEXT("Instrument", "吉他(金属)"), 25},
       {TONVALE_UI_TEXT("Instrument", "电吉他(爵士乐)"), 26},
       {TONVALE_UI_TEXT("Instrument", "电吉他(clean)"), 27},
       {TONVALE_UI_TEXT("Instrument", "电吉他(弱音)"), 28},
       {TONVALE_UI_TEXT("Instrument", "超速吉他"), 29},
       {TONVALE_UI_TEXT("Instrument", "扭曲吉他"), 30},
       {TONVALE_UI_TEXT("Instrument", "和声吉他"), 31}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "Bass"),
     {{{TONVALE_UI_TEXT("Instrument", "Bass"), 32},
       {TONVALE_UI_TEXT("Instrument", "电Bass(手指弹)"), 33},
       {TONVALE_UI_TEXT("Instrument", "电Bass(金属片拨)"), 34},
       {TONVALE_UI_TEXT("Instrument", "Fretless Bass"), 35},
       {TONVALE_UI_TEXT("Instrument", "拍击 Bass 1"), 36},
       {TONVALE_UI_TEXT("Instrument", "拍击 Bass 2"), 37},
       {TONVALE_UI_TEXT("Instrument", "合成器 Bass 1"), 38},
       {TONVALE_UI_TEXT("Instrument", "合成器 Bass 2"), 39}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "弦乐器"),
     {{{TONVALE_UI_TEXT("Instrument", "小提琴"), 40},
       {TONVALE_UI_TEXT("Instrument", "中提琴"), 41},
       {TONVALE_UI_TEXT("Instrument", "大提琴"), 42},
       {TONVALE_UI_TEXT("Instrument", "低音大提琴"), 43},
       {TONVALE_UI_TEXT("Instrument", "颤音弦"), 44},
       {TONVALE_UI_TEXT("Instrument", "指弹弦"), 45},
       {TONVALE_UI_TEXT("Instrument", "管弦乐队竖琴"), 46},
       {TONVALE_UI_TEXT("Instrument", "定音鼓"), 47}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "合奏"),
     {{{TONVALE_UI_TEXT("Instrument", "弦乐器合奏 1"), 48},
       {TONVALE_UI_TEXT("Instrument", "弦乐器合奏 2"), 49},
       {TONVALE_UI_TEXT("Instrument", "弦乐合成器 1"), 50},
       {TONVALE_UI_TEXT("Instrument", "弦乐合成器 2"), 51},
       {TONVALE_UI_TEXT("Instrument", "唱诗班Aashs"), 52},
       {TONVALE_UI_TEXT("Instrument", "惊讶声"), 53},
       {TONVALE_UI_TEXT("Instrument", "嗓音合成器"), 54},
       {TONVALE_UI_TEXT("Instrument", "管弦乐队打击乐"), 55}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "铜管乐器"),
     {{{TONVALE_UI_TEXT("Instrument", "喇叭"), 56},
       {TONVALE_UI_TEXT("Instrument", "长号"), 57},
       {TONVALE_UI_TEXT("Instrument", "大号"), 58},
       {TONVALE_UI_TEXT("Instrument", "弱音喇叭"), 59},
       {TONVALE_UI_TEXT("Instrument", "法国号"), 60},
       {TONVALE_UI_TEXT("Instrument", "铜片"), 61},
       {TONVALE_UI_TEXT("Instrument", "铜管乐合成器 1"), 62},
       {TONVALE_UI_TEXT("Instrument", "铜管乐合成器 2"), 63}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "芦笛"),
     {{{TONVALE_UI_TEXT("Instrument", "高音萨克斯"), 64},
       {TONVALE_UI_TEXT("Instrument", "中音萨克斯"), 65},
       {TONVALE_UI_TEXT("Instrument", "次中音萨克斯"), 66},
       {TONVALE_UI_TEXT("Instrument", "低音萨克斯"), 67},
       {TONVALE_UI_TEXT("Instrument", "双簧管"), 68},
       {TONVALE_UI_TEXT("Instrument", "英国号"), 69},
       {TONVALE_UI_TEXT("Instrument", "低音管"), 70},
       {TONVALE_UI_TEXT("Instrument", "单簧管"), 71}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "笛"),
     {{{TONVALE_UI_TEXT("Instrument", "短笛"), 72},
       {TONVALE_UI_TEXT("Instrument", "长笛"), 73},
       {TONVALE_UI_TEXT("Instrument", "录音机"), 74},
       {TONVALE_UI_TEXT("Instrument", "潘长笛"), 75},
       {TONVALE_UI_TEXT("Instrument", "瓶吹"), 76},
       {TONVALE_UI_TEXT("Instrument", "尺八（日本）"), 77},
       {TONVALE_UI_TEXT("Instrument", "口哨"), 78},
       {TONVALE_UI_TEXT("Instrument", "奥卡利那笛"), 79}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "主音合成器"),
     {{{TONVALE_UI_TEXT("Instrument", "主音 1(广场)"), 80},
       {TONVALE_UI_TEXT("Instrument", "主音 2(锯齿)"), 81},
       {TONVALE_UI_TEXT("Instrument", "主音 3(caliope lead)"), 82},
       {TONVALE_UI_TEXT("Instrument", "主音 4(chiff lead)"), 83},
       {TONVALE_UI_TEXT("Instrument", "主音 5(charang)"), 84},
       {TONVALE_UI_TEXT("Instrument", "主音 6(嗓音)"), 85},
       {TONVALE_UI_TEXT("Instrument", "主音 7(第五)"), 86},
       {TONVALE_UI_TEXT("Instrument", "主音 8(brass+lead)"), 87}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "辅助合成器"),
     {{{TONVALE_UI_TEXT("Instrument", "辅助 1(新时代)"), 88},
       {TONVALE_UI_TEXT("Instrument", "辅助 2(热烈)"), 89},
       {TONVALE_UI_TEXT("Instrument", "辅助 3(多合成器)"), 90},
       {TONVALE_UI_TEXT("Instrument", "辅助 4(唱诗班)"), 91},
       {TONVALE_UI_TEXT("Instrument", "辅助 5(bowed)"), 92},
       {TONVALE_UI_TEXT("Instrument", "辅助 6(金属的)"), 93},
       {TONVALE_UI_TEXT("Instrument", "辅助 7(光环)"), 94},
       {TONVALE_UI_TEXT("Instrument", "辅助 8(扫除)"), 95}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "效果合成器"),
     {{{TONVALE_UI_TEXT("Instrument", "FX 1(雨)"), 96},
       {TONVALE_UI_TEXT("Instrument", "FX 2(声迹)"), 97},
       {TONVALE_UI_TEXT("Instrument", "FX 3(水晶)"), 98},
       {TONVALE_UI_TEXT("Instrument", "FX 4(气氛)"), 99},
       {TONVALE_UI_TEXT("Instrument", "FX 5(智慧)"), 100},
       {TONVALE_UI_TEXT("Instrument", "FX 6(小妖精)"), 101},
       {TONVALE_UI_TEXT("Instrument", "FX 7(回音)"), 102},
       {TONVALE_UI_TEXT("Instrument", "FX 8(科幻)"), 103}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "民族乐器"),
     {{{TONVALE_UI_TEXT("Instrument", "锡塔尔琴（印度）"), 104},
       {TONVALE_UI_TEXT("Instrument", "班桌琴"), 105},
       {TONVALE_UI_TEXT("Instrument", "Shamisen"), 106},
       {TONVALE_UI_TEXT("Instrument", "十三弦古筝（日）"), 107},
       {TONVALE_UI_TEXT("Instrument", "克林巴琴（非洲）"), 108},
       {TONVALE_UI_TEXT("Instrument", "风笛"), 109},
       {TONVALE_UI_TEXT("Instrument", "Fiddle小提琴"), 110},
       {TONVALE_UI_TEXT("Instrument", "Shanai"), 111}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "打击乐器"),
     {{{TONVALE_UI_TEXT("Instrument", "叮当"), 112},
       {TONVALE_UI_TEXT("Instrument", "Agogo"), 113},
       {TONVALE_UI_TEXT("Instrument", "钢鼓"), 114},
       {TONVALE_UI_TEXT("Instrument", "木板"), 115},
       {TONVALE_UI_TEXT("Instrument", "阳坡鼓"), 116},
       {TONVALE_UI_TEXT("Instrument", "Melodic Tom"), 117},
       {TONVALE_UI_TEXT("Instrument", "鼓合成器"), 118},
       {TONVALE_UI_TEXT("Instrument", "反铙钹"), 119}}}},
    {TONVALE_UI_TEXT("InstrumentFamily", "音效"),
     {{{TONVALE_UI_TEXT("Instrument", "吉他噪音"), 120},
       {TONVALE_UI_TEXT("Instrument", "呼吸声"), 121},
       {TONVALE_UI_TEXT("Instrument", "海岸"), 122},
       {TONVALE_UI_TEXT("Instrument", "鸟叫"), 123},
       {TONVALE_UI_TEXT("Instrument", "电话铃"), 124},
       {TONVALE_UI_TEXT("Instrument", "直升飞机"), 125},
       {TONVALE_UI_TEXT("Instrument", "鼓掌"), 126},
       {TONVALE_UI_TEXT("Instrument", "枪声"), 127}}}},
}};

const char* GetInstrumentName(std::int32_t program) {
  return InstrumentFamilies[static_cast<std::size_t>(program / 8)]
      .entries[static_cast<std::size_t>(program % 8)]
      .name;
}

int GetInstrumentPicture(std::int32_t program, std::int32_t channel) {
  if (channel == 9) return 14;
  const int family = program / 8;
  if (program < 80) return family;
  if (program < 104) return 10;  // the three synthesizer families share one
  return family - 2;
}

std::array<std::int32_t, 14> ToolbarPrograms() {
  struct Slot {
    int family;
    int slot;
  };
  static constexpr Slot kButtons[14] = {{0, 0}, {1, 7}, {2, 3}, {3, 1},  {4, 0},  {5, 0},  {6, 7},
                                        {7, 1}, {8, 2}, {9, 1}, {12, 7}, {13, 3}, {14, 2}, {15, 3}};
  std::array<std::int32_t, 14> programs{};
  for (std::size_t i = 0; i < programs.size(); ++i) {
    programs[i] = InstrumentFamilies[static_cast<std::size_t>(kButtons[i].family)]
                      .entries[static_cast<std::size_t>(kButtons[i].slot)]
                      .program;
  }
  return programs;
}

}  // namespace tonvale
