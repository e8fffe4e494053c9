// A library without registration entry points.
extern "C" __attribute__((visibility("default"))) long SomethingElse() {
    return 0;
}
