// The latitude and longitude editor through real frames: how values split
// into degrees and minutes, that they come back exactly, a typed change
// and where it leaves the caller's y.
#include "number_fixture.h"
#include "widgets/butn_latlon.h"

namespace {

TEST_F(Typing, LatLonSplitsIntoDegreesAndMinutesAndRecombinesExactly) {
  const struct {
    float value;
    const char* degrees;
    const char* minutes;
  } rows[] = {
      {-0.5f, "000", "-30.000"},   // within a degree of zero the minutes carry the sign
      {-12.5f, "-012", "30.000"},
      {12.5f, "012", "30.000"},
      {0.25f, "000", "15.000"},
      {-179.75f, "-179", "45.000"},
  };
  for (const auto& r : rows) {
    float x = 100, y = 400, lon = r.value, lat = 10.5f;
    int changed = -1;
    d->frame([&] { changed = enter_lat_lon(&x, &y, &lon, &lat); });
    EXPECT_EQ(changed, 0) << r.value;
    EXPECT_EQ(lon, r.value);
    EXPECT_EQ(lat, 10.5f);
    EXPECT_EQ(y, 300);
    EXPECT_EQ(x, 100);
    // A sign sits in the gap left of a field's first cell.
    EXPECT_EQ(cells(90, 140, 349), r.degrees) << r.value;
    EXPECT_EQ(cells(141, 250, 349), r.minutes) << r.value;
    EXPECT_EQ(cells(100, 140, 299), "10") << r.value;
  }
}

TEST_F(Typing, LatLonReportsATypedChange) {
  float lon = -12.5f, lat = 40.25f;
  auto draw = [&] {
    float x = 100, y = 400;
    return enter_lat_lon(&x, &y, &lon, &lat);
  };
  click(115, 303, draw);  // the latitude's first degree cell, at (110, 300)
  ASSERT_EQ(focus_id, 110 * 8192 + 300);
  d->key(sc_1, "1");
  int changed = 0;
  d->frame([&] { changed = draw(); });
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(lat, 10.25f);
  EXPECT_EQ(lon, -12.5f);
}

}  // namespace
