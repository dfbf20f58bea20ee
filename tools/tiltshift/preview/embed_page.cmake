# Writes OUTPUT, a C++ source holding the page's files as string literals.
# Run as a script: cmake -DSOURCE_DIR=... -DOUTPUT=... -P embed_page.cmake
# Each asset is PATH|FILE|TYPE; all are UTF-8 text.
set(assets
  "/|index.html|text/html"
  "/preview.js|preview.js|text/javascript"
  "/preview.css|preview.css|text/css")
set(body "")
foreach(asset ${assets})
  string(REPLACE "|" ";" fields "${asset}")
  list(GET fields 0 path)
  list(GET fields 1 file)
  list(GET fields 2 mime)
  file(READ "${SOURCE_DIR}/${file}" content)
  string(FIND "${content}" ")PAGE_ASSET\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file} holds the delimiter of the literal that embeds it")
  endif()
  string(APPEND body "    {\"${path}\", \"${mime}; charset=utf-8\", R\"PAGE_ASSET(${content})PAGE_ASSET\"},\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from tools/tiltshift/preview/page by embed_page.cmake.
#include \"preview/page_assets.h\"

namespace tiltshift {

namespace {

const PageAsset ASSETS[] = {
${body}};

}  // namespace

const PageAsset* findPageAsset(std::string_view path) {
    for (const PageAsset& asset : ASSETS) {
        if (asset.path == path) {
            return &asset;
        }
    }
    return nullptr;
}

}  // namespace tiltshift
")
# Rewritten only when it changes, so that an unchanged page compiles nothing.
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.tmp")
