#include "model/model_stream_classes.h"

#include "model/affine_transform_2d.h"
#include "model/transform_2d.h"
#include "model/transform_set_2d.h"
#include "model/tstreamableclass.h"

void Register_Model_Stream_Classes() {
  static const TStreamableClass transform("Transform_2D", &Transform_2D::Streamer::Build);
  static const TStreamableClass affine("Affine_Transform_2D",
                                       &Affine_Transform_2D::Streamer::Build);
  static const TStreamableClass set("Transform_Set_2D", &Transform_Set_2D::Streamer::Build);
}
