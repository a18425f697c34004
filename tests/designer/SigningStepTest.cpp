#include <gtest/gtest.h>

#include "BuildFixture.h"
#include "designer/SigningCommand.h"
#include "designer/SigningStep.h"
#include "support/FileSystem.h"

namespace {
using Names = std::vector<std::wstring>;

// A signer stand-in: the command puts a prepared signed image in place of the program.
class SigningRun : public BuildRunFixture {
 protected:
  SigningRun() {
    project = ExampleProjectIn(fx);
    project.UseUninstall = true;
    WriteTextFile(signedImage, AsSigned(std::string(3000, 's')));
    project.SignCommand = L"copy /y /b \"" + signedImage + L"\" {file} >nul";
  }
  std::wstring signedImage = fx.root / L"signed.bin";
};
}  // namespace

TEST(SigningCommand, PutsTheQuotedPathWhereverThePlaceholderStands) {
  EXPECT_EQ(SigningCommandLine(L"sign {file} && verify \"{file}\"", L"C:\\a b\\Setup.exe"),
            L"sign \"C:\\a b\\Setup.exe\" && verify \"C:\\a b\\Setup.exe\"");
  EXPECT_EQ(SigningCommandLine(L"sign", L"C:\\x.exe"), L"sign");
}

TEST(SigningStep, OnlyATableThatClosesThePeImageCountsAsASignature) {
  TempDir dir;
  const std::string image(3000, 'i');
  WriteTextFile(dir / L"plain.exe", image);
  WriteTextFile(dir / L"signed.exe", AsSigned(image));
  WriteTextFile(dir / L"signed64.exe", AsSigned(image, true));
  WriteTextFile(dir / L"appended.exe", AsSigned(image) + "x");
  EXPECT_FALSE(CarriesCertificateTable(dir / L"plain.exe"));
  EXPECT_TRUE(CarriesCertificateTable(dir / L"signed.exe"));
  EXPECT_TRUE(CarriesCertificateTable(dir / L"signed64.exe"));
  EXPECT_FALSE(CarriesCertificateTable(dir / L"appended.exe"));
  EXPECT_FALSE(CarriesCertificateTable(dir / L"absent.exe"));
}

TEST_F(SigningRun, SignsTheLauncherAndTheUninstallerBeforeTheyArePublished) {
  const BuildResult result = Run();
  ASSERT_EQ(result.Outcome, BuildOutcome::Done) << Narrow(result.Message);
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\Setup.exe"), ReadFileBytes(signedImage));
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\uninst.dat"), ReadFileBytes(signedImage));
  EXPECT_EQ(FilesIn(fx.output),
            (Names{L"Setup.exe", L"Setup.ini", L"data.dat", L"setup.dat", L"uninst.dat"}));
  EXPECT_TRUE(FilesIn(fx.build).empty());
}

TEST_F(SigningRun, SignsTheSingleFileAfterPackingAndPublishesOnlyThat) {
  WritePatternFile(fx.designer + L"sfx.dat", 5000, 9);
  project.UseBuiltInPacker = true;
  const BuildResult result = Run();
  ASSERT_EQ(result.Outcome, BuildOutcome::Done) << Narrow(result.Message);
  EXPECT_EQ(FilesIn(fx.output), Names{L"Setup.exe"});
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\Setup.exe"), ReadFileBytes(signedImage));
  EXPECT_TRUE(FilesIn(fx.build).empty());
}

TEST_F(SigningRun, ACommandThatFailsOrSignsNothingIsAFailureAndPublishesNothing) {
  CreateDirectoryW(fx.output.c_str(), nullptr);
  WriteTextFile(fx.output + L"\\Setup.exe", "earlier");
  project.SignCommand = L"echo no certificate & exit 5";
  const BuildResult failed = Run();
  ASSERT_EQ(failed.Outcome, BuildOutcome::Failed);
  EXPECT_EQ(failed.Failure, BuildFailure::Signing);
  EXPECT_NE(failed.Message.find(L"кодом 5"), std::wstring::npos) << Narrow(failed.Message);
  EXPECT_NE(failed.Message.find(L"no certificate"), std::wstring::npos) << Narrow(failed.Message);
  EXPECT_EQ(FilesIn(fx.output), Names{L"Setup.exe"});
  EXPECT_EQ(ReadFileBytes(fx.output + L"\\Setup.exe"), "earlier");

  // Exit code 0, but the program carries no table: what a Linux signer that
  // could not sign looks like from here.
  project.SignCommand = L"rem {file}";
  const std::wstring program = fx.root / L"program.exe";
  WriteTextFile(program, std::string(3000, 'p'));
  BuildContext context(project, fx.Folders(), observer);
  try {
    SignProgram(context, program, 300);
    ADD_FAILURE() << "an unsigned program passed";
  } catch (const SigningFailed& error) {
    EXPECT_NE(error.Message().find(L"program.exe не подписан"), std::wstring::npos)
        << Narrow(error.Message());
  }
}

TEST_F(SigningRun, ASignatureThatArrivesAfterTheCommandHasEndedIsWaitedFor) {
  // The command returns at once and a process it left behind signs a moment later.
  const std::wstring program = fx.root / L"late.exe";
  WriteTextFile(program, std::string(3000, 'p'));
  project.SignCommand = L"start \"\" /b cmd /c \"ping -n 2 127.0.0.1 >nul & copy /y /b \"" +
                        signedImage + L"\" {file} >nul\"";
  BuildContext context(project, fx.Folders(), observer);
  SignProgram(context, program, 20000);
  EXPECT_EQ(ReadFileBytes(program), ReadFileBytes(signedImage));
}
