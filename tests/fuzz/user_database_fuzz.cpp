// Arbitrary bytes as a user database file. Whatever it holds, the database
// read keeps its promises (levels 0..4, a current user that exists), and
// what it holds writes and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "model/ipstream.h"
#include "model/opstream.h"
#include "users/user_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ipstream is(data, size);
  is.Read_Version();
  User_Database db(For_Stream);
  is.Read_Object(db);
  db.Set_Current(db.current_index);
  if (db.current_index < -1 || db.current_index >= db.Count()) std::abort();
  if (db.current_user != (db.current_index < 0 ? &db.default_user : db.At(db.current_index))) std::abort();
  if (db.default_user.level < 0 || db.default_user.level > 4) std::abort();
  for (const auto& user : db.users)
    if (user->level < 0 || user->level > 4) std::abort();

  std::vector<uint8_t> bytes;
  opstream os(bytes);
  os.Write_Object(db);
  ipstream again(bytes);
  again.Read_Version();
  User_Database copy(For_Stream);
  again.Read_Object(copy);
  if (again.Fail() || copy.Count() != db.Count() || copy.current_index != db.current_index) std::abort();
  for (int32_t i = 0; i < db.Count(); ++i)
    if (copy.At(i)->name != db.At(i)->name || copy.At(i)->points != db.At(i)->points) std::abort();
  return 0;
}
