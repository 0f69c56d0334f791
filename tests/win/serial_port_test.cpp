// The modem side on the bench's ports: COM3 and COM4 are the ends of one line, COM1 a simulated modem
// (it takes AT+VCID=1 and records what it sees), COM2 one switched off. Modem rules are tests/native's.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/messages.h"
#include "base/settings.h"
#include "base/text_utils.h"
#include "diag/program_log.h"
#include "modem/modem_command.h"
#include "modem/modem_page.h"
#include "modem/modem_page_ids.h"
#include "modem/serial_port.h"
#include "tests/win/win_test.h"
#include "ui/choice_list.h"

namespace {

SerialPort* Open(const char* name) {
    PortSettings settings{};
    CopyText(settings.name, sizeof settings.name, name);
    settings.baud_rate = 115200;
    settings.byte_size = 8;
    return OpenSerialPort(settings);
}

// A line longer than the buffer: the wait hands back what fits and writes nothing behind it.
TEST(SerialLine, WaitForLineStaysInsideItsBuffer) {
    SerialPort* here = Open("COM3");
    SerialPort* there = Open("COM4");
    ASSERT_TRUE(here != nullptr && there != nullptr) << "COM3/COM4 did not open";
    ASSERT_EQ(700u, WriteSerial(there, std::string(700, 'x').data(), 700));
    char buffer[64];
    buffer[62] = 'Z';
    EXPECT_EQ(61u, WaitForLine(here, 5000, 0, buffer, 63));  // capacity - 2 bytes at the most
    EXPECT_EQ('\0', buffer[61]);
    EXPECT_EQ('Z', buffer[62]);
    CloseSerialPort(here);
    CloseSerialPort(there);
}

size_t Configured() {
    std::vector<std::string> commands = RecordedEvents("cmd");
    return static_cast<size_t>(std::count(commands.begin(), commands.end(), "AT+VCID=1"));
}

class Modem : public StandInTest {
protected:
    void SetUp() override {
        StandInTest::SetUp();
        log_ = CreateProgramLogPage(parent_);
    }
    HWND log_ = nullptr;
};

// A modem that never answers: nothing comes back, not even a reply left from before.
TEST_F(Modem, NoModemAnswers) {
    SerialPort* silent = Open("COM2");
    ASSERT_NE(nullptr, silent) << "COM2 did not open";
    char reply[kModemReplySize] = "stale";
    EXPECT_EQ(0u, SendModemCommand(silent, "ATZ", "OK", reply));  // after five passes of two seconds
    EXPECT_STREQ("", reply);
    std::vector<std::string> lines = ListBoxLines(log_, false);
    EXPECT_EQ(std::vector<std::string>{"COM2: no reply on command \"ATZ\""}, lines);
    CloseSerialPort(silent);
}

// A port monitor configures the modem, takes new settings saved on its page (a reload made while
// it configured was once lost), and lets go of the port when its page goes.
TEST_F(Modem, AMonitorTakesNewSettingsAndLetsGoWithItsPage) {
    g_state.role = 2;
    WriteSettingDword("COM1_enabled", 1);
    WriteSetting("COM1_cid", "AT+VCID=1", 10, REG_SZ);
    size_t configured = Configured();
    size_t opened = RecordedEvents("open").size();
    HWND page = CreateModemPage(parent_, 1);
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(PumpUntil([&] { return Configured() > configured; }, 30000)) << "the modem was not configured";

    size_t closed = RecordedEvents("close").size();
    SelectChoiceByData(page, IDC_MODEM_BAUD_RATE, 9600);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_MODEM_BAUD_RATE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_MODEM_BAUD_RATE)));
    SendMessageA(page, WM_COMMAND, CMD_PAGE_SAVE, 0);
    EXPECT_TRUE(PumpUntil([&] { return RecordedEvents("close").size() > closed; }, 30000)) << "the port stayed open";
    EXPECT_TRUE(PumpUntil([&] { return RecordedEvents("open").size() > opened + 1; }, 30000)) << "not reopened";
    EXPECT_TRUE(PumpUntil([&] { return Configured() > configured + 1; }, 30000)) << "not configured again";

    closed = RecordedEvents("close").size();
    DestroyWindow(page);  // the program ends
    EXPECT_TRUE(PumpUntil([&] { return RecordedEvents("close").size() > closed; }, 30000)) << "the port stayed open";
}

}  // namespace
