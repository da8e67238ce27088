#include "pages/licence/LicenceText.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "pages/licence/ProducerInfo.h"

namespace kanvel::licence {
namespace {

// A line put together at compile time from text and the producer's data
// (ProducerInfo.h). A line longer than kLicenceMaxLineLength does not compile.
struct JoinedLine {
    std::array<wchar_t, kLicenceMaxLineLength> chars{};
    std::size_t size = 0;

    constexpr std::wstring_view view() const { return {chars.data(), size}; }
};

constexpr JoinedLine Join(std::initializer_list<std::wstring_view> parts) {
    JoinedLine line;
    for (std::wstring_view part : parts) {
        for (wchar_t c : part) {
            if (line.size == line.chars.size()) {
                throw "licence line longer than kLicenceMaxLineLength";
            }
            line.chars[line.size++] = c;
        }
    }
    return line;
}

// The list shows an empty string badly: a blank line is one space.
constexpr std::wstring_view kBlank = L" ";

constexpr JoinedLine kFirmLine = Join({L"FIRMY: ", kProducerName});
constexpr JoinedLine kPartiesLine =
    Join({L"organizacyjną – a spółką ", kProducerName, L" (dalej: „Producent”). Umowa"});
constexpr JoinedLine kProducerDefinitionLine =
    Join({L"1) „Producent” – spółkę ", kProducerName, L", której przysługują autorskie"});
constexpr JoinedLine kPhone1Line = Join({L"     ", kProducerPhone1, L","});
constexpr JoinedLine kPhone2Line = Join({L"     ", kProducerPhone2, L";"});
constexpr JoinedLine kEmailLine =
    Join({L"   – pocztą elektroniczną, na adres ", kSupportEmail, L";"});
constexpr JoinedLine kWebAddressLine =
    Join({L"   – przez formularz na stronie internetowej ", kProducerWebAddress, L"."});
constexpr JoinedLine kCopyrightLine =
    Join({L"Copyright © ", kProducerName, L" Wszelkie prawa zastrzeżone."});

// The agreement. Each "// [n]" gives the index of the line below it; the
// blank lines stand at 2, 24, 44, 80, 87, 116, 126, 138, 159, 173, 197 and
// 202, so an edit must keep every section's line count.
constexpr auto kLines = std::to_array<std::wstring_view>({
    // [0]
    L"UMOWA LICENCYJNA NA OPROGRAMOWANIE",
    kFirmLine.view(),
    kBlank,
    // [3]
    L"PROSIMY O UWAŻNE PRZECZYTANIE:",
    L"Niniejsza umowa licencyjna (dalej: „Umowa”) jest prawnie wiążącą umową",
    L"zawieraną między Licencjobiorcą – osobą fizyczną, osobą prawną albo jednostką",
    kPartiesLine.view(),
    L"określa warunki korzystania z programu do projektowania inżynierskiego Kanvel,",
    L"dołączonych do niego bibliotek i dokumentacji. Prosimy o przeczytanie całej",
    L"Umowy przed przystąpieniem do instalacji – jej zaakceptowanie jest warunkiem",
    L"kontynuowania instalacji.",
    L"Instalując, kopiując lub w inny sposób używając Oprogramowania, Licencjobiorca",
    L"potwierdza, że zapoznał się z treścią Umowy, rozumie ją i akceptuje wszystkie",
    L"jej postanowienia. Jeżeli Licencjobiorca nie akceptuje postanowień Umowy, nie",
    L"może instalować ani używać Oprogramowania i powinien przerwać instalację.",
    L"Nieużywane Oprogramowanie wraz z dowodem zakupu można w ciągu 14 dni od daty",
    L"zakupu zwrócić sprzedawcy, który zwróci zapłaconą cenę.",
    L"Oprogramowanie jest chronione przepisami ustawy z dnia 4 lutego 1994 r.",
    L"o prawie autorskim i prawach pokrewnych oraz postanowieniami umów",
    L"międzynarodowych. Oprogramowanie nie jest sprzedawane – Licencjobiorca nabywa",
    L"jedynie prawo do korzystania z niego na warunkach opisanych poniżej. Umowa",
    L"dotyczy wszystkich wersji Oprogramowania: pełnej, sieciowej, edukacyjnej",
    L"i demonstracyjnej, a także jego aktualizacji, jeżeli nie dołączono do nich",
    L"odrębnych warunków licencji.",
    kBlank,
    // [25]
    L"§ 1. DEFINICJE",
    L"Użyte w Umowie określenia oznaczają:",
    kProducerDefinitionLine.view(),
    L"   prawa majątkowe do Oprogramowania;",
    L"2) „Licencjobiorca” – osobę fizyczną, osobę prawną lub jednostkę organizacyjną",
    L"   nieposiadającą osobowości prawnej, która nabyła licencję na Oprogramowanie;",
    L"3) „Oprogramowanie” – program komputerowy Kanvel w postaci kodu wynikowego",
    L"   wraz z bibliotekami elementów, szablonami rysunków, plikami pomocy",
    L"   i Dokumentacją, a także jego aktualizacje udostępnione przez Producenta;",
    L"4) „Dokumentacja” – podręczniki użytkownika i opisy techniczne Oprogramowania",
    L"   w postaci drukowanej lub elektronicznej;",
    L"5) „Stanowisko” – jeden komputer, na którym zainstalowano Oprogramowanie;",
    L"6) „Klucz licencyjny” – ciąg znaków przekazany Licencjobiorcy przez",
    L"   Producenta, niezbędny do aktywacji Oprogramowania;",
    L"7) „Projekt” – rysunki, modele, obliczenia i zestawienia utworzone przez",
    L"   Licencjobiorcę przy użyciu Oprogramowania;",
    L"8) „Licencja sieciowa” – licencję uprawniającą określoną liczbę użytkowników",
    L"   sieci lokalnej do jednoczesnego używania Oprogramowania, kontrolowaną przez",
    L"   serwer licencji.",
    kBlank,
    // [45]
    L"§ 2. UDZIELENIE LICENCJI",
    L"1. Z chwilą zapłaty ceny Producent udziela Licencjobiorcy niewyłącznej",
    L"   i niezbywalnej licencji na korzystanie z Oprogramowania na czas",
    L"   nieoznaczony, bez ograniczeń terytorialnych, w zakresie i na warunkach",
    L"   określonych w Umowie.",
    L"2. Licencja obejmuje następujące pola eksploatacji:",
    L"   a) instalowanie i uruchamianie Oprogramowania na liczbie Stanowisk nie",
    L"      większej niż liczba licencji nabytych przez Licencjobiorcę;",
    L"   b) wyświetlanie, stosowanie i przechowywanie Oprogramowania w zakresie",
    L"      niezbędnym do używania go zgodnie z przeznaczeniem;",
    L"   c) sporządzenie kopii zapasowej na zasadach określonych w § 3.",
    L"3. Licencja jednostanowiskowa uprawnia do używania Oprogramowania na jednym",
    L"   Stanowisku. Przeniesienie Oprogramowania na inny komputer jest dozwolone,",
    L"   jeżeli zostanie ono wcześniej usunięte z dotychczasowego Stanowiska, a jego",
    L"   aktywacja zostanie cofnięta.",
    L"4. Oprogramowanie objęte Licencją sieciową instaluje się na serwerze sieci",
    L"   lokalnej Licencjobiorcy. Z Oprogramowania może jednocześnie korzystać tylu",
    L"   użytkowników, ile licencji nabył Licencjobiorca. Korzystanie",
    L"   z Oprogramowania przez Internet spoza siedziby Licencjobiorcy wymaga",
    L"   odrębnej zgody Producenta.",
    L"5. Główny użytkownik Stanowiska może dodatkowo zainstalować Oprogramowanie na",
    L"   jednym komputerze przenośnym lub domowym, pod warunkiem że obie kopie nie",
    L"   będą używane jednocześnie.",
    L"6. Wersja edukacyjna Oprogramowania może być używana wyłącznie do nauki oraz",
    L"   prowadzenia zajęć dydaktycznych. Nie wolno jej używać do wykonywania",
    L"   Projektów na zlecenie ani w celach zarobkowych. Rysunki utworzone w wersji",
    L"   edukacyjnej są opatrywane znakiem wodnym.",
    L"7. Wersja demonstracyjna może być używana bezpłatnie przez 30 dni od dnia",
    L"   instalacji, wyłącznie w celu oceny Oprogramowania. Po upływie tego okresu",
    L"   należy nabyć licencję albo usunąć Oprogramowanie.",
    L"8. Projekty utworzone przy użyciu Oprogramowania stanowią własność",
    L"   Licencjobiorcy. Producent nie rości sobie do nich żadnych praw i nie",
    L"   uzyskuje do nich dostępu.",
    L"9. Wszelkie prawa, które nie zostały wyraźnie przyznane Licencjobiorcy",
    L"   w Umowie, zastrzega Producent.",
    kBlank,
    // [81]
    L"§ 3. KOPIA ZAPASOWA",
    L"Licencjobiorca może sporządzić jedną kopię zapasową Oprogramowania, jeżeli",
    L"jest to niezbędne do korzystania z niego. Kopia musi zawierać wszystkie",
    L"oznaczenia praw autorskich znajdujące się w oryginale i nie może być używana",
    L"równocześnie z nim. Kopii zapasowej nie wolno udostępniać osobom trzecim.",
    L"Z chwilą wygaśnięcia licencji kopię zapasową należy zniszczyć.",
    kBlank,
    // [88]
    L"§ 4. OGRANICZENIA",
    L"Bez uprzedniej pisemnej zgody Producenta Licencjobiorcy nie wolno:",
    L"1) zwielokrotniać Oprogramowania w inny sposób niż opisany w § 2 i § 3;",
    L"2) dekompilować ani dezasemblować Oprogramowania, ani w inny sposób odtwarzać",
    L"   jego kodu źródłowego, z wyjątkiem przypadków wyraźnie dozwolonych przez",
    L"   art. 75 ust. 2 pkt 3 ustawy o prawie autorskim i prawach pokrewnych;",
    L"3) tłumaczyć, przystosowywać, zmieniać układu ani wprowadzać innych zmian",
    L"   w Oprogramowaniu, a także tworzyć na jego podstawie utworów zależnych;",
    L"4) wynajmować, wydzierżawiać, użyczać ani sprzedawać Oprogramowania, a także",
    L"   udostępniać go osobom trzecim w inny sposób, w tym jako usługi świadczonej",
    L"   przez Internet;",
    L"5) przenosić licencji na inną osobę;",
    L"6) usuwać ani zmieniać oznaczeń praw autorskich, znaków towarowych i numerów",
    L"   seryjnych umieszczonych w Oprogramowaniu i Dokumentacji;",
    L"7) obchodzić technicznych zabezpieczeń Oprogramowania, w tym mechanizmu",
    L"   aktywacji i serwera licencji, ani ujawniać Klucza licencyjnego osobom",
    L"   trzecim;",
    L"8) rozdzielać Oprogramowania na części w celu używania ich na różnych",
    L"   Stanowiskach;",
    L"9) używać wersji edukacyjnej ani demonstracyjnej Oprogramowania w sposób",
    L"   sprzeczny z § 2 ust. 6 i 7.",
    L"Biblioteki elementów i szablony rysunków dołączone do Oprogramowania mogą być",
    L"wykorzystywane w Projektach Licencjobiorcy bez ograniczeń, nie wolno ich",
    L"jednak rozpowszechniać jako samodzielnych zbiorów ani włączać do produktów",
    L"konkurencyjnych wobec Oprogramowania.",
    L"Naruszenie powyższych ograniczeń stanowi naruszenie autorskich praw",
    L"majątkowych Producenta i może skutkować odpowiedzialnością cywilną oraz karną,",
    L"a także wygaśnięciem licencji na zasadach określonych w § 10.",
    kBlank,
    // [117]
    L"§ 5. PRAWA AUTORSKIE I ZNAKI TOWAROWE",
    L"Oprogramowanie, w tym jego kod, struktura, interfejs użytkownika, biblioteki",
    L"elementów i Dokumentacja, jest utworem w rozumieniu ustawy o prawie autorskim",
    L"i prawach pokrewnych. Autorskie prawa majątkowe do Oprogramowania przysługują",
    L"Producentowi i nie przechodzą na Licencjobiorcę. Nazwa „Kanvel” i logo",
    L"Producenta są jego znakami towarowymi; Umowa nie upoważnia do ich używania,",
    L"z wyjątkiem rzetelnej informacji, że Projekt wykonano przy użyciu",
    L"Oprogramowania. Składniki osób trzecich dołączone do Oprogramowania podlegają",
    L"warunkom ich licencji, wymienionym w Dokumentacji.",
    kBlank,
    // [127]
    L"§ 6. AKTUALIZACJE I SKŁADNIKI POBIERANE Z SIECI",
    L"1. Program instalacyjny pobiera wybrane składniki Oprogramowania z serwera",
    L"   Producenta. Przesyłane są wyłącznie dane niezbędne do wskazania potrzebnych",
    L"   plików: numer wersji, język i lista wybranych składników. Ani Projekty, ani",
    L"   dane osobowe nie są przesyłane.",
    L"2. Aktualizacje udostępnione przez Producenta stanowią część Oprogramowania",
    L"   i podlegają Umowie, chyba że dołączono do nich odrębne warunki. Producent",
    L"   może zakończyć wydawanie aktualizacji wersji starszych niż dwie ostatnie.",
    L"3. Producent nie odpowiada za przerwy w dostępie do serwera wynikające",
    L"   z przyczyn od niego niezależnych. Przerwane pobieranie można wznowić,",
    L"   uruchamiając ponownie program instalacyjny.",
    kBlank,
    // [139]
    L"§ 7. OGRANICZENIE GWARANCJI",
    L"1. Producent zapewnia, że przez 90 dni od daty zakupu Oprogramowanie będzie",
    L"   działać zasadniczo zgodnie z Dokumentacją. Jeżeli w tym okresie",
    L"   Licencjobiorca zgłosi wadę, Producent według własnego wyboru usunie ją,",
    L"   dostarczy wolną od wad wersję Oprogramowania albo zwróci zapłaconą cenę",
    L"   w zamian za usunięcie Oprogramowania.",
    L"2. Poza zapewnieniem określonym w ust. 1 Oprogramowanie jest dostarczane",
    L"   w takim stanie, w jakim się znajduje. Producent nie gwarantuje, że",
    L"   Oprogramowanie będzie działać bez przerw i błędów ani że będzie odpowiadać",
    L"   szczególnym potrzebom Licencjobiorcy. W zakresie dopuszczalnym przez prawo",
    L"   odpowiedzialność Producenta z tytułu rękojmi za wady Oprogramowania zostaje",
    L"   wyłączona.",
    L"3. Oprogramowanie jest narzędziem wspomagającym pracę projektanta i nie",
    L"   zastępuje jego wiedzy ani doświadczenia. Wyniki obliczeń, wymiarowania",
    L"   i zestawienia materiałów sporządzone przy użyciu Oprogramowania muszą",
    L"   zostać sprawdzone przez osobę o odpowiednich kwalifikacjach, zanim zostaną",
    L"   wykorzystane w dokumentacji wykonawczej lub w produkcji. Za poprawność",
    L"   Projektu odpowiada Licencjobiorca.",
    L"4. Uprawnienia konsumentów wynikające z bezwzględnie obowiązujących przepisów",
    L"   prawa pozostają nienaruszone.",
    kBlank,
    // [160]
    L"§ 8. OGRANICZENIE ODPOWIEDZIALNOŚCI",
    L"1. W najszerszym zakresie dopuszczalnym przez prawo Producent nie ponosi",
    L"   odpowiedzialności za szkody pośrednie ani za utracone korzyści, w tym za",
    L"   utratę danych, przerwy w działalności, koszty ponownego wykonania Projektu",
    L"   lub szkody wynikłe z błędów w Projektach, powstałe w związku z używaniem",
    L"   Oprogramowania lub niemożnością jego używania, nawet jeżeli Producent",
    L"   został powiadomiony o możliwości ich wystąpienia.",
    L"2. Całkowita odpowiedzialność Producenta z tytułu Umowy, niezależnie od jej",
    L"   podstawy prawnej, jest ograniczona do kwoty zapłaconej za licencję.",
    L"3. Ograniczenia określone w ust. 1 i 2 nie dotyczą szkód wyrządzonych umyślnie",
    L"   ani szkód na osobie, a także odpowiedzialności, której nie można wyłączyć",
    L"   ani ograniczyć ze względu na bezwzględnie obowiązujące przepisy prawa,",
    L"   w szczególności wobec konsumentów.",
    kBlank,
    // [174]
    L"§ 9. POMOC TECHNICZNA",
    L"1. Zarejestrowanym Licencjobiorcom Producent zapewnia bezpłatną pomoc",
    L"   techniczną przez 12 miesięcy od daty zakupu licencji. Pomoc obejmuje",
    L"   odpowiedzi na pytania dotyczące instalacji, konfiguracji i używania",
    L"   Oprogramowania oraz usuwanie zgłoszonych błędów w kolejnych aktualizacjach.",
    L"2. Pomoc techniczna nie obejmuje szkoleń, wykonywania Projektów ani",
    L"   przenoszenia danych z innych programów. Usługi te Producent świadczy",
    L"   odpłatnie na podstawie odrębnych umów.",
    L"3. Zgłoszenia można przekazywać:",
    L"   – telefonicznie, w dni robocze w godzinach 8:00–16:00, pod numerami:",
    kPhone1Line.view(),
    kPhone2Line.view(),
    kEmailLine.view(),
    kWebAddressLine.view(),
    L"   Odpowiedzi udzielane są zwykle w ciągu dwóch dni roboczych.",
    L"4. Zgłaszając problem, należy podać numer seryjny i numer wersji",
    L"   Oprogramowania oraz opisać czynności, które doprowadziły do błędu.",
    L"   Informacje o nowych wersjach, poprawki i odpowiedzi na często zadawane",
    L"   pytania publikowane są na stronie internetowej Producenta.",
    L"5. Po upływie okresu bezpłatnej pomocy Licencjobiorca może ją przedłużyć,",
    L"   zawierając z Producentem odpłatną umowę serwisową. Umowa serwisowa obejmuje",
    L"   także prawo do nowych wersji Oprogramowania wydanych w okresie jej",
    L"   obowiązywania.",
    kBlank,
    // [198]
    L"§ 10. CZAS TRWANIA I WYGAŚNIĘCIE LICENCJI",
    L"Umowa obowiązuje przez czas nieoznaczony. Licencja wygasa bez wypowiedzenia,",
    L"gdy Licencjobiorca naruszy postanowienia Umowy; należy wówczas usunąć",
    L"Oprogramowanie ze wszystkich komputerów i zniszczyć jego kopie.",
    kBlank,
    // [203]
    L"§ 11. POSTANOWIENIA KOŃCOWE",
    L"1. Umowa podlega prawu polskiemu. W sprawach nieuregulowanych w Umowie stosuje",
    L"   się przepisy Kodeksu cywilnego oraz ustawy o prawie autorskim i prawach",
    L"   pokrewnych.",
    L"2. Spory wynikające z Umowy rozstrzyga sąd właściwy dla siedziby Producenta,",
    L"   z zastrzeżeniem przepisów o właściwości sądu w sprawach z udziałem",
    L"   konsumentów.",
    L"3. Jeżeli którekolwiek z postanowień Umowy okaże się nieważne, pozostałe",
    L"   postanowienia zachowują moc. Nieważne postanowienie zastępuje się ważnym,",
    L"   najbliższym jego celowi.",
    L"4. Umowa stanowi całość porozumienia stron w sprawie licencji na",
    L"   Oprogramowanie i zastępuje wszelkie wcześniejsze ustalenia. Zmiany Umowy",
    L"   wymagają formy pisemnej pod rygorem nieważności.",
    L"5. Umowę sporządzono w języku polskim. Jeżeli Licencjobiorcy udostępniono",
    L"   również jej tłumaczenie, w razie rozbieżności rozstrzyga wersja polska.",
    L"AKCEPTUJĄC UMOWĘ I KONTYNUUJĄC INSTALACJĘ, LICENCJOBIORCA POTWIERDZA, ŻE",
    L"PRZECZYTAŁ UMOWĘ, ZROZUMIAŁ JĄ I ZGADZA SIĘ NA JEJ WARUNKI. JEŻELI NIE ZGADZA",
    L"SIĘ NA TE WARUNKI, POWINIEN PRZERWAĆ INSTALACJĘ.",
    kCopyrightLine.view(),
});

static_assert(kLines.size() == kLicenceLineCount,
              "the licence must have exactly kLicenceLineCount lines");

}  // namespace

const std::array<std::wstring_view, kLicenceLineCount>& LicenceLines() {
    return kLines;
}

}  // namespace kanvel::licence
