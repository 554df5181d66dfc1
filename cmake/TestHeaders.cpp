// The translation unit that the test binaries' shared precompiled header is made for.
