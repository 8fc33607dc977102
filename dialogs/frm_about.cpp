#include "dialogs/frm_about.h"

#include "core/product.h"
#include "core/version.h"

namespace zorvo {

std::wstring aboutText() {
    return L"Zorvo v" ZORVO_VERSION_WIDE L"\r\n"
           L"Дата создания: 16 ноября 2007\r\n"
           L"Автор: команда Zorvo\r\n"
           L"Программа бесплатна: её можно свободно использовать и распространять.\r\n"
           L"Zorvo - это программа, позволяющая выключить, перезагрузить, отправить компьютер в "
           L"спящий и ждущий режимы через заданное время. Также ее можно использовать в качестве "
           L"небольшой напоминалки.\r\n"
           L"Спасибо, что пользуетесь Zorvo!";
}

void frmAbout::Form_Load() {
    c_.Text1.setText(aboutText());
}

void frmAbout::lblOK_Click() {
    c_.form.close();
}

void frmAbout::lblHomePage_Click() {
    links_.open(kHomePage);
}

void frmAbout::Form_MouseMove() {
    c_.lblOK.setBackColour(kDialogButtonBack);
    c_.lblOK.setBorder(false);
    c_.lblHomePage.setForeColour(kLinkColour);
}

void frmAbout::lblOK_MouseMove() {
    c_.lblOK.setBackColour(kDialogButtonHoverBack);
    c_.lblOK.setBorder(true);
}

void frmAbout::lblHomePage_MouseMove() {
    c_.lblHomePage.setForeColour(kLinkHoverColour);
}

} // namespace zorvo
