#include "model/dib_allocator.h"

#include <gtest/gtest.h>

#include <thread>
#include <tuple>
#include <vector>

#include "model/gui_colors.h"
#include "model/shape_drawing.h"

namespace {

TEST(DIB_Allocator, Pool_Sizes_Are_Reused_Others_Are_Not) {
  GUI_Colors colors;
  DIB_Allocator pool(2, 3, 36);
  EXPECT_TRUE(The_DIB_Allocator == &pool && pool.Count() == 2);
  TDiBitmap* a = pool.Get(36, 36);
  TDiBitmap* b = pool.Get(36, 36);
  TDiBitmap* c = pool.Get(36, 36);  // stack empty: a new one
  EXPECT_TRUE(pool.Count() == 3 && a->BitsPixel() == 8);
  EXPECT_EQ(a->GetColor(10), colors.Scheme_RGB(0));  // the program palette
  pool.Release(c);
  EXPECT_EQ(pool.Get(36, 36), c);  // last in, first out
  TDiBitmap* odd = pool.Get(30, 20);
  EXPECT_EQ(std::tuple(odd->Width(), odd->Pitch(), pool.Count()), std::tuple(32, 32, 3));
  pool.Release(odd);  // not the pool's size: deleted
  EXPECT_EQ(pool.Free_Count(), 0);
  for (TDiBitmap* bitmap : {a, b, c}) pool.Release(bitmap);
  EXPECT_EQ(pool.Free_Count(), 3);
  pool.Purge();
  EXPECT_EQ(pool.Free_Count(), 0);
  pool.Release(pool.Get(36, 36));
  EXPECT_EQ(pool.Free_Count(), 0);
}

TEST(DIB_Allocator, Release_Onto_A_Full_Stack_Deletes_And_Odd_Sides_Pool) {
  GUI_Colors colors;
  DIB_Allocator pool(0, 1, 36);
  TDiBitmap* a = pool.Get(36, 36);
  pool.Release(pool.Get(36, 36));
  pool.Release(a);  // onto a full stack: deleted
  EXPECT_EQ(std::pair(pool.Free_Count(), pool.Count()), std::pair(1, 1));
  // A side that is not a multiple of 4 still pools.
  DIB_Allocator odd(0, 2, 1687);
  TDiBitmap* bitmap = odd.Get(1687, 1687);
  EXPECT_EQ(bitmap->Width(), 1688);
  odd.Release(bitmap);
  EXPECT_EQ(odd.Free_Count(), 1);
}

TEST(DIB_Allocator, Pictures_May_Outlive_The_Pool) {
  GUI_Colors colors;
  auto pool = std::make_unique<DIB_Allocator>(1, 2, 16);
  auto picture = std::make_unique<Shape_Drawing>(16, 16, nullptr, TColor(0u));
  pool->Purge();
  pool.reset();
  picture.reset();  // under the address checker: no use of the pool
}

TEST(DIB_Allocator, Threads_Share_The_Stack) {
  GUI_Colors colors;
  DIB_Allocator pool(2, 5, 16);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&pool, t] {
      for (int i = 0; i < 5000; ++i) {
        TDiBitmap *a = pool.Get(16, 16), *b = pool.Get(16 + (i + t) % 2, 16);
        a->GetBits()[0] = uint8_t(i);
        pool.Release(b);
        pool.Release(a);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_LE(pool.Free_Count(), 5);
  EXPECT_EQ(pool.Count(), pool.Free_Count());
}

}  // namespace
