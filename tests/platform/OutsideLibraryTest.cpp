// Where the outside libraries are looked for: beside the program (the build
// folder), in the private folder of an installed program, then the library path.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "platform/OutsideLibrary.h"
#include "support/TestSupport.h"

namespace {

TEST(OutsideLibrary, TheProgramFolderThenTheInstalledPrivateFolderThenTheLibraryPath) {
    EXPECT_EQ(platform::OutsideLibraryPlaces("/usr/bin/", "libpgpmsg60.so"),
              (std::vector<std::string>{"/usr/bin/libpgpmsg60.so", "/usr/bin/../lib/qim/libpgpmsg60.so", "libpgpmsg60.so"}));
    // Without a known program folder only the library path is asked; a name
    // with a folder in it is never joined to another folder.
    EXPECT_EQ(platform::OutsideLibraryPlaces("", "libunlha32.so"), (std::vector<std::string>{"libunlha32.so"}));
    EXPECT_EQ(platform::OutsideLibraryPlaces("/usr/bin/", "../x/libpgpmsg60.so"),
              (std::vector<std::string>{"../x/libpgpmsg60.so"}));
}

TEST(OutsideLibrary, TheTestProgramFindsTheLibraryBuiltBesideIt) {
    // The tests run from the build folder's bin/, where the PGP library is built.
    EXPECT_EQ(platform::ProgramFolder() + "libpgpmsg60.so", qimtest::BuiltProgram("libpgpmsg60.so"));
    void* library = platform::OpenOutsideLibrary("libpgpmsg60.so");
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_NE(dlsym(library, "PGPMsgInit"), nullptr);
    dlclose(library);
    EXPECT_EQ(platform::OpenOutsideLibrary("libqim-no-such-library.so"), nullptr);
}

}  // namespace
