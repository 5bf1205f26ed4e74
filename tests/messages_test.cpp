// Every text of the program, decoded from Shift_JIS (code page 932) with
// iconv, reads as the Japanese it stands for and has its known length.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "messages.h"

namespace {

std::string DecodeCp932(const char* bytes, size_t length) {
  iconv_t converter = iconv_open("UTF-8", "CP932");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1)) << "iconv has no CP932";
  std::string input(bytes, length);
  std::string output(length * 4, '\0');
  char* in = input.data();
  char* out = output.data();
  size_t inLeft = input.size();
  size_t outLeft = output.size();
  const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  EXPECT_NE(result, static_cast<size_t>(-1)) << "not valid CP932";
  output.resize(output.size() - outLeft);
  return output;
}

struct TextCase {
  const char* bytes;
  size_t byteCount;
  const char* utf8;
  size_t expectedByteCount;
};

TEST(Messages, DecodeToTheirJapaneseWithTheirByteCounts) {
  const TextCase texts[] = {
      {BannerText, sizeof BannerText - 1, u8"\nZelvan for Windows Ver2.00\n\n", 29},
      {UsageText, sizeof UsageText - 1, u8"使い方：ZELCONV [-?] [-I] [-T:n] [BMPﾌｧｲﾙ名] [GIFﾌｧｲﾙ名]\nGIF ﾌｧｲﾙ名を省略すると元のﾌｧｲﾙ名の拡張子を .GIF にしたものを使います。\nGIF ﾌｧｲﾙが存在すると上書きされます。ご注意ください。\n\nｽｲｯﾁ説明：\n-?   このﾍﾙﾌﾟを表示する\n-I   ｲﾝﾀｰﾚｰｽ GIF にする\n-T:n ﾊﾟﾚｯﾄ番号 n(0-255)を透明色にする（「:n」省略時は番号０とする）\n", 309},
      {ErrorFrameText, sizeof ErrorFrameText - 1, u8"ERROR: %s\n", 10},
      {NoBitmapGivenText, sizeof NoBitmapGivenText - 1, u8"BMPﾌｧｲﾙが指定されていませんでした。", 35},
      {BadCommandLineText, sizeof BadCommandLineText - 1, u8"ｽｲｯﾁ、ｺﾏﾝﾄﾞﾗｲﾝの指定が異常です。", 32},
      {InvalidSwitchText, sizeof InvalidSwitchText - 1, u8"ERROR: 無効なｽｲｯﾁです：%c\n", 26},
      {BadTransparentIndexText, sizeof BadTransparentIndexText - 1, u8"WARNING: 透明色の指定が異常でした。ﾊﾟﾚｯﾄ番号０とします。\n", 57},
      {BitmapSizeText, sizeof BitmapSizeText - 1, u8"指定されたﾌｧｲﾙは %d x %d ﾄﾞｯﾄ %d 色と確認しました。\n", 52},
      {WritingToText, sizeof WritingToText - 1, u8"%s に書き出しています...\n", 25},
      {WritingFinishedText, sizeof WritingFinishedText - 1, u8"書き出しが終了しました。\n\n", 26},
      {CannotOpenFileText, sizeof CannotOpenFileText - 1, u8"指定したﾌｧｲﾙが開けません。", 26},
      {NotABitmapText, sizeof NotABitmapText - 1, u8"指定したﾌｧｲﾙはﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙではありません。", 42},
      {FileDamagedText, sizeof FileDamagedText - 1, u8"ﾌｧｲﾙが壊れています。", 20},
      {CompressedNotSupportedText, sizeof CompressedNotSupportedText - 1, u8"圧縮ﾋﾞｯﾄﾏｯﾌﾟには対応していません。", 34},
      {UnsupportedDepthText, sizeof UnsupportedDepthText - 1, u8"2色(1bit)、16色(4bit)、256色(8bit) 以外はｻﾎﾟｰﾄしていません。", 60},
      {TooLargeForGifText, sizeof TooLargeForGifText - 1, u8"GIFの最大ｻｲｽﾞ(65535 x 65535 ﾄﾞｯﾄ)を超えています。", 49},
      {OutOfMemoryText, sizeof OutOfMemoryText - 1, u8"ﾒﾓﾘが足りません。", 17},
  };
  for (const TextCase& text : texts) {
    SCOPED_TRACE(text.utf8);
    EXPECT_EQ(text.byteCount, text.expectedByteCount);
    EXPECT_EQ(DecodeCp932(text.bytes, text.byteCount), text.utf8);
  }
}

}  // namespace
