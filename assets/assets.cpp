// The resources of quill_assets are compiled into this library; the file
// exists so that the library has a translation unit of its own.
namespace quill { int assetsLinked() { return 1; } }
