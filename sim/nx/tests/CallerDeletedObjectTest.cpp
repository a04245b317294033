#include <gtest/gtest.h>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/Callback.hxx>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/PartSaveStatus.hxx>
#include <NXOpen/Session.hxx>
#include <NXOpen/UI.hxx>

#include <memory>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

// A handler that counts its live copies and its calls.
class CountedHandler : public NXOpen::Callback0<void> {
 public:
  CountedHandler() { ++live; }
  CountedHandler(const CountedHandler&) : NXOpen::Callback0<void>() { ++live; }
  ~CountedHandler() override { --live; }
  void operator()() const override { ++calls; }
  NXOpen::BaseCallback* Clone() const override { return new CountedHandler(*this); }
  bool Equals(const NXOpen::BaseCallback& other) const override { return &other == this; }

  static int live;
  static int calls;
};
int CountedHandler::live = 0;
int CountedHandler::calls = 0;

class CallerDeletedObject : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
};

// The dialog keeps a copy of a handler given as a temporary and deletes it with itself.
TEST_F(CallerDeletedObject, ADialogOwnsCopiesOfItsHandlers) {
  auto* dialog = NXOpen::UI::GetUI()->CreateDialog("start.dlx");
  dialog->AddInitializeHandler(CountedHandler());
  EXPECT_EQ(CountedHandler::live, 1);
  setDialogDriver([](OpenDialog& d) { d.cancel(); });
  dialog->Show();
  EXPECT_EQ(CountedHandler::calls, 1);
  delete dialog;
  EXPECT_EQ(CountedHandler::live, 0);
}

// Every call hands out an object of its own, which the caller deletes.
TEST_F(CallerDeletedObject, PropertyListsAndSaveStatusesAreTheCallersOwn) {
  std::unique_ptr<NXOpen::BlockStyler::BlockDialog> dialog(
      NXOpen::UI::GetUI()->CreateDialog("start.dlx"));
  auto* first = dialog->GetBlockProperties("signInButton");
  std::unique_ptr<NXOpen::BlockStyler::PropertyList> second(
      dialog->GetBlockProperties("signInButton"));
  EXPECT_NE(first, second.get());
  delete first;
  EXPECT_TRUE(second->GetLogical("Show"));

  setDisplayedPart(addPart(PartDefinition{}));
  NXOpen::BasePart* part = NXOpen::Session::GetSession()->Parts()->BaseDisplay();
  auto* saved =
      part->Save(NXOpen::BasePart::SaveComponentsFalse, NXOpen::BasePart::CloseAfterSaveFalse);
  std::unique_ptr<NXOpen::PartSaveStatus> again(
      part->Save(NXOpen::BasePart::SaveComponentsFalse, NXOpen::BasePart::CloseAfterSaveFalse));
  EXPECT_NE(saved, again.get());
  delete saved;
  EXPECT_EQ(again->NumberUnsavedParts(), 0);
}

}  // namespace
}  // namespace nxsim
