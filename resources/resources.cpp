// The pictures are compiled into this library; nothing else lives here.
namespace halvo {
int resourcesLinked() { return 1; }
} // namespace halvo
