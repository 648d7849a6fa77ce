#include "app/title_data.h"

#include "model/ipstream.h"
#include "model/opstream.h"
#include "model/tstreamableclass.h"

namespace {

const TStreamableClass Title_Data_Class("Title_Data", &Title_Data::Streamer::Build);

// Wider arithmetic so that no stored value can overflow; the results of the
// built-in layouts are the same as in 32 bits.
int32_t Scale(int32_t value, int32_t base_height, int32_t screen_height) {
  return int32_t(int64_t(screen_height) * value / base_height);
}

}  // namespace

TRect Title_Data::Scale_Rect(const TRect& rect, int32_t base_height, int32_t screen_height) {
  if (base_height == 0) return rect;
  TRect scaled;
  scaled.left = Scale(rect.left, base_height, screen_height);
  scaled.top = Scale(rect.top, base_height, screen_height);
  scaled.right = Scale(int32_t(int64_t(rect.right) - rect.left), base_height, screen_height) + scaled.left;
  scaled.bottom = Scale(int32_t(int64_t(rect.bottom) - rect.top), base_height, screen_height) + scaled.top;
  return scaled;
}

std::unique_ptr<Title_Data> Title_Data::Scaled_Copy(const Title_Data& layout, int32_t base_height,
                                                    int32_t screen_height) {
  auto copy = std::make_unique<Title_Data>();
  for (size_t i = 0; i < layout.Rects.size(); ++i)
    copy->Rects[i] = Scale_Rect(layout.Rects[i], base_height, screen_height);
  return copy;
}

TStreamableBase* Title_Data::Streamer::Read(ipstream& is, uint32_t version) {
  auto* layout = static_cast<Title_Data*>(Get_Object());
  // Only the one layout of the rectangles has ever been stored.
  if (version != 1) {
    is.Set_State(pstream::failbit);
    return layout;
  }
  for (TRect& rect : layout->Rects) {
    rect.left = int32_t(is.Read_Word32());
    rect.top = int32_t(is.Read_Word32());
    rect.right = int32_t(is.Read_Word32());
    rect.bottom = int32_t(is.Read_Word32());
  }
  return layout;
}

void Title_Data::Streamer::Write(opstream& os) const {
  const auto* layout = static_cast<const Title_Data*>(Get_Object());
  for (const TRect& rect : layout->Rects) {
    os.Write_Word(uint32_t(rect.left));
    os.Write_Word(uint32_t(rect.top));
    os.Write_Word(uint32_t(rect.right));
    os.Write_Word(uint32_t(rect.bottom));
  }
}

std::unique_ptr<TStreamer> Title_Data::Streamer::Build(TStreamableBase* object) {
  if (object == nullptr) return std::make_unique<Streamer>(new Title_Data(For_Stream));
  auto* layout = dynamic_cast<Title_Data*>(object);
  return layout != nullptr ? std::make_unique<Streamer>(layout) : nullptr;
}
