// The one list of bridged methods: name, core result type, core parameters.
// Re-included with BRIDGE_METHOD defined to generate the entry slots, the symbol
// and message tables, the core function types, the export file and test tables.
// No include guard on purpose.
//
// BRIDGE_METHOD(name, core result, (core parameters))
BRIDGE_METHOD(CreateNewNISTFile, int, (void))
BRIDGE_METHOD(ReadNISTFromFile, int, (const char* path))
BRIDGE_METHOD(ReadNISTFromMemory, int, (const void* data, int size))
BRIDGE_METHOD(WriteNISTToFile, int, (const char* path))
BRIDGE_METHOD(ReadSizeOfNISTByteArray, int, (void))
BRIDGE_METHOD(ReadNISTByteArray, const void*, (void))
