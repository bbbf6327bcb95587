// A named data reference, made from each "--dref:" command-line option. No
// published data exists in this program, so a reference holds nothing and
// changes nothing.
#pragma once

class data_ref {
 public:
  data_ref() {}
  explicit data_ref(const char*) {}
  data_ref(const data_ref&) {}
};
