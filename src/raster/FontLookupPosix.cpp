#include "raster/FontLookup.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <mutex>

namespace {

struct FamilySubstitute {
  const char* family;
  const char* preferred;  // a metric-compatible face from fonts-liberation2
  const char* generic;    // fontconfig's generic family, if the preferred is missing
};

constexpr FamilySubstitute kSubstitutes[] = {
    {"Arial", "Liberation Sans", "sans-serif"},
    {"Helvetica", "Liberation Sans", "sans-serif"},
    {"Helvetica Neue", "Liberation Sans", "sans-serif"},
    {"Geneva", "Liberation Sans", "sans-serif"},
    {"Lucida Grande", "Liberation Sans", "sans-serif"},
    {"Monaco", "Liberation Mono", "monospace"},
    {"Menlo", "Liberation Mono", "monospace"},
    {"Courier", "Liberation Mono", "monospace"},
    {"Courier New", "Liberation Mono", "monospace"},
    {"Times", "Liberation Serif", "serif"},
    {"Times New Roman", "Liberation Serif", "serif"},
};

// fontconfig's configuration is shared by the process; one lookup at a time.
std::mutex& lookupMutex() {
  static std::mutex mutex;
  return mutex;
}

void addFamily(FcPattern* pattern, const char* family) {
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
}

}  // namespace

bool findFontFile(const std::string& family, bool bold, bool italic, FontFile* found) {
  std::lock_guard<std::mutex> lock(lookupMutex());
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;

  // Families in order of preference: fontconfig tries them one after another.
  const FamilySubstitute* substitute = nullptr;
  for (const FamilySubstitute& s : kSubstitutes)
    if (strcasecmp(s.family, family.c_str()) == 0) substitute = &s;
  if (substitute) addFamily(pattern, substitute->preferred);
  if (!family.empty()) addFamily(pattern, family.c_str());
  if (substitute) addFamily(pattern, substitute->generic);
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);

  bool ok = false;
  if (FcConfigSubstitute(nullptr, pattern, FcMatchPattern)) {
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      found->path = reinterpret_cast<const char*>(file);
      int index = 0;
      found->faceIndex =
          FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
      FcChar8* matchedFamily = nullptr;
      found->family = FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch
                          ? reinterpret_cast<const char*>(matchedFamily)
                          : "";
      ok = true;
    }
    if (match) FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return ok;
}
