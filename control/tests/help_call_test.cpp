// ShowHelp and the dialogs' Help button, with the help engine replaced by a recorder.
#include <cstddef>
#include <string>

#include "fake_dialogs.h"
#include "qzcommdl_ctrl.h"

using namespace qztest;

namespace {

char g_table;
std::string g_phrase;

BOOL WINAPI RecordMultiKey(HWND, LPCSTR, UINT, ULONG_PTR data) {
  const auto* help = reinterpret_cast<const MULTIKEYHELPA*>(data);
  g_table = help->mkKeylist;
  g_phrase = help->szKeyphrase;
  return help->mkSize == offsetof(MULTIKEYHELPA, szKeyphrase) + g_phrase.size() + 1;
}

class HelpCall : public FakeDialogTest {
protected:
  void SetHelp(short command, long context, const wchar_t* key) {
    Put(control.Get(), L"HelpFile", Var(L"C:\\help\\app.hlp"));
    Put(control.Get(), L"HelpCommand", Var(command));
    Put(control.Get(), L"HelpContext", Var(context));
    Put(control.Get(), L"HelpKey", Var(key));
  }
};

}  // namespace

TEST_F(HelpCall, KeywordCommandsPassTheKeyAndIgnoreTheContext) {
  for (short command : {short{0x101}, short{0x102}, short{0x105}}) {
    Fakes().help_calls.clear();
    SetHelp(command, 77, L"printing");
    ASSERT_EQ(Call(control.Get(), L"ShowHelp").hr, S_OK);
    ASSERT_EQ(Fakes().help_calls.size(), 1u);
    const auto& call = Fakes().help_calls[0];
    EXPECT_EQ(call.owner, ControlWindow());
    EXPECT_EQ(call.file, "C:\\help\\app.hlp");
    EXPECT_EQ(call.command, static_cast<UINT>(command));
    EXPECT_EQ(call.key, "printing");
  }
}

TEST_F(HelpCall, OtherCommandsPassTheContext) {
  for (short command : {short{0}, short{1}, short{3}, short{8}}) {
    Fakes().help_calls.clear();
    SetHelp(command, 4711, L"ignored");
    ASSERT_EQ(Call(control.Get(), L"ShowHelp").hr, S_OK);
    ASSERT_EQ(Fakes().help_calls.size(), 1u);
    EXPECT_EQ(Fakes().help_calls[0].command, static_cast<UINT>(command));
    EXPECT_EQ(Fakes().help_calls[0].data, 4711u);
  }
  EXPECT_EQ(Long(L"Action"), 6);
}

TEST_F(HelpCall, TheCommandIsSignExtended) {
  SetHelp(-1, 1, L"");
  Call(control.Get(), L"ShowHelp");
  ASSERT_EQ(Fakes().help_calls.size(), 1u);
  EXPECT_EQ(Fakes().help_calls[0].command, 0xFFFFFFFFu);
}

TEST_F(HelpCall, MultiKeyPassesATableLetterAndPhrase) {
  Put(control.Get(), L"HelpCommand", Var(short{0x201}));
  Put(control.Get(), L"HelpKey", Var(L"Kprint setup"));
  qz::TheSystemCalls().win_help = RecordMultiKey;
  EXPECT_EQ(Call(control.Get(), L"ShowHelp").hr, S_OK);
  EXPECT_EQ(g_table, 'K');
  EXPECT_EQ(g_phrase, "print setup");
}

TEST_F(HelpCall, AFailedHelpCallRaisesOneWhateverCancelErrorSays) {
  for (bool cancel_error : {false, true}) {
    Put(control.Get(), L"CancelError", Var(cancel_error));
    Put(control.Get(), L"HelpFile", Var(L"C:\\no\\such.hlp"));
    Fakes().help_answer = FALSE;
    const CallResult result = Call(control.Get(), L"ShowHelp");
    EXPECT_EQ(result.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(result.ErrorNumber(), 1);
  }
}

TEST_F(HelpCall, TheHelpMessageRunsShowHelpAndSwallowsItsError) {
  SetHelp(3, 0, L"");
  Put(control.Get(), L"Action", Var(short{0}));
  SendMessageW(ControlWindow(), qz::UM_SHOW_HELP, 0, 0);
  ASSERT_EQ(Fakes().help_calls.size(), 1u);
  EXPECT_EQ(Fakes().help_calls[0].command, 3u);
  EXPECT_EQ(Long(L"Action"), 6);
  Fakes().help_answer = FALSE;
  EXPECT_EQ(SendMessageW(ControlWindow(), qz::UM_SHOW_HELP, 0, 0), 0);
  EXPECT_EQ(Fakes().help_calls.size(), 2u);
  // The Help button runs the help call; it does not fire HelpClick.
  for (const auto& e : events.events) EXPECT_NE(e.id, qz::kHelpClick);
}

TEST_F(HelpCall, DesignModeRefusesBeforeAnyHelpCall) {
  ComPtr<IOleObject> object;
  ASSERT_EQ(control.As(IID_IOleObject, object), S_OK);
  TestSite site(TestSite::Ambient::DesignMode);
  ASSERT_EQ(object->SetClientSite(&site), S_OK);
  const CallResult result = Call(control.Get(), L"ShowHelp");
  EXPECT_EQ(result.scode, static_cast<HRESULT>(0x800A017F));
  EXPECT_TRUE(Fakes().help_calls.empty());
  object->SetClientSite(nullptr);
}

// Destroying the control closes the help window only for a designer, and only with a help file.
TEST_F(HelpCall, DesignTimeDestructionClosesTheHelpWindow) {
  struct Case {
    TestSite::Ambient ambient;
    const wchar_t* file;
    size_t quits;
  };
  for (const Case& c : {Case{TestSite::Ambient::DesignMode, L"C:\\help\\app.hlp", 1},
                        Case{TestSite::Ambient::RunMode, L"C:\\help\\app.hlp", 0},
                        Case{TestSite::Ambient::DesignMode, L"", 0}}) {
    ComPtr<IDispatch> doomed;
    ASSERT_EQ(qzf::OleControl::CreateInstance<qz::CQzcommdlCtrl>(IID_IDispatch, doomed.PutVoid()), S_OK);
    Put(doomed.Get(), L"HelpFile", Var(c.file));
    // A control that never had a window has no help window to close: make the window first.
    ASSERT_NE(Get(doomed.Get(), L"hWnd").value.AsLong(), 0);
    TestSite site(c.ambient);
    {
      ComPtr<IOleObject> object;
      ASSERT_EQ(doomed.As(IID_IOleObject, object), S_OK);
      ASSERT_EQ(object->SetClientSite(&site), S_OK);
    }
    Fakes().help_calls.clear();
    doomed.Reset();
    ASSERT_EQ(Fakes().help_calls.size(), c.quits) << static_cast<int>(c.ambient);
    if (c.quits) {
      EXPECT_EQ(Fakes().help_calls[0].command, static_cast<UINT>(HELP_QUIT));
      EXPECT_EQ(Fakes().help_calls[0].file, "C:\\help\\app.hlp");
      EXPECT_EQ(Fakes().help_calls[0].data, 0u);
    }
  }
}
