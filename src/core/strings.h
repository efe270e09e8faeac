// Every text the user can meet, in one place. The texts are the program's own and are used
// exactly as they stand; they are UTF-8 here and become Windows-1251 only where they are
// written to a protocol, report or log file.
//
// Keep the sections; add new texts to the section of the part of the program that shows them.
#pragma once

#include <QString>

namespace zev7 {

// A text of the table as a QString.
inline QString txt(const char* utf8) {
    return QString::fromUtf8(utf8);
}

namespace str {

// ---- Program identity and message-box captions --------------------------------------------
inline constexpr char ProgramName[] = "ВЕРСА-ТЛ";
inline constexpr char ProgramVersion[] = "V2.08";
inline constexpr char ProgramDate[] = "04.03.2006";
inline constexpr char OldestScenarioVersion[] = "V2.01";
inline constexpr char CaptionError[] = "Ошибка!";
inline constexpr char CaptionWarning[] = "Внимание!";

// ---- Fault evidence ("ZEV7.crash") ---------------------------------------------------------
// The report a program leaves when a fault ends it, and the desktop program's word on it at
// its next start.
inline constexpr char FaultReportTitle[] = "Программа завершена внутренней ошибкой";
inline constexpr char FaultReportProgram[] = "Программа: ";
inline constexpr char FaultReportTime[] = "Время (UTC): ";
inline constexpr char FaultReportReason[] = "Причина: ";
inline constexpr char FaultReportStack[] = "Стек вызовов:";
inline constexpr char FaultReportMentioned[] = "Сообщено при запуске программы: ";
inline constexpr char LastRunFaulted[] =
    "Предыдущий запуск программы завершился внутренней ошибкой.\nСведения о ней сохранены в "
    "файле:\n%1";

// ---- The main window, its menus and the program's start and end ----------------------------
inline constexpr char AlreadyRunning[] = "Программа уже запущена!";
inline constexpr char TooManyWindows[] = "Открыто слишком много форм!";
inline constexpr char AskQuit[] = "Вы хотите завершить работу?";
inline constexpr char PortsBusyForDatabase[] =
    "Идет работа с портами! Повторите после завершения всех сценариев!";
inline constexpr char AskCloseDatabase[] =
    "Необходимо закрыть БД! Закрыть БД и продолжить операцию?";
inline constexpr char PortItem[] = "Порт:%1";
inline constexpr char PortComboHint[] = "Выбор COM-порта";
inline constexpr char CannotMakeFolders[] = "Не могу создать рабочие каталоги в %1";
inline constexpr char CannotLockInstance[] = "Не могу создать файл %1: %2";
inline constexpr char MenuFile[] = "Файл";
inline constexpr char MenuScenario[] = "Сценарий";
inline constexpr char MenuDatabase[] = "База данных";
inline constexpr char MenuWindows[] = "Окна";
inline constexpr char MenuHelp[] = "Помощь";
inline constexpr char MenuContents[] = "Содержание";
inline constexpr char MenuAbout[] = "О программе...";
inline constexpr char MenuExit[] = "Выход";
inline constexpr char MenuNewScenario[] = "Новый сценарий";
inline constexpr char MenuOpenScenario[] = "Открыть сценарий";
inline constexpr char MenuSaveScenario[] = "Сохранить сценарий";
inline constexpr char MenuAddCycle[] = "Добавить цикл в конец списка";
inline constexpr char MenuInsertCycle[] = "Вставить цикл перед текущим";
inline constexpr char MenuDeleteCycle[] = "Удалить цикл";
inline constexpr char MenuScheme[] = "Схема сценариев";
inline constexpr char MenuStartScenario[] = "Старт сценария";
inline constexpr char MenuRestartScenario[] = "Рестарт сценария";
inline constexpr char MenuStopScenario[] = "Прервать сценарий";
inline constexpr char MenuDatabaseInterface[] = "Интерфейс БД";
inline constexpr char MenuMonitor[] = "Монитор измерений";
inline constexpr char MenuImport[] = "Ввод результатов из другой БД";
inline constexpr char MenuCompact[] = "Сжатие БД";
inline constexpr char MenuDeleteCycles[] = "Удаление циклов из БД";
inline constexpr char MenuLoadConfig[] = "Загрузить конфигурацию";
inline constexpr char MenuSaveConfig[] = "Сохранить конфигурацию";
inline constexpr char MenuRestoreConfig[] = "Восстановить конфигурацию";
inline constexpr char MenuCascade[] = "Расположить каскадом";
inline constexpr char MenuTile[] = "Расположить";
inline constexpr char MenuTileVertical[] = "вертикально";
inline constexpr char MenuTileHorizontal[] = "горизонтально";
inline constexpr char MenuArrange[] = "Упорядочить";
inline constexpr char MenuMinimizeAll[] = "Свернуть все";
inline constexpr char MenuRestoreAll[] = "Расположить все";
inline constexpr char MenuCloseAll[] = "Закрыть все";
inline constexpr char ButtonDatabase[] = "База данных";
inline constexpr char ButtonHelpMain[] = "Помощь ";
inline constexpr char ScaleToolbar[] = "Масштабирование";
inline constexpr char ZoomRestore[] = "Восстановить масштаб";
inline constexpr char ZoomIn[] = "Увеличить";
inline constexpr char ZoomOut[] = "Уменьшить";
inline constexpr char ZoomY[] = "Увеличение по  Y";
inline constexpr char UnzoomY[] = "Уменьшение по Y";
inline constexpr char ZoomX[] = "Увеличение по X";
inline constexpr char UnzoomX[] = "Уменьшение по X";
inline constexpr char StepUp[] = "Сдвиг вверх";
inline constexpr char StepDown[] = "Сдвиг вниз";
inline constexpr char StepLeft[] = "Сдвиг влево";
inline constexpr char StepRight[] = "Сдвиг вправо";
inline constexpr char ConfigFilter[] = "Файл конфигурации";
inline constexpr char ConfigOpenTitle[] = "Файл конфигурации";
// A full disk or a read-only folder: the previous file is kept and the user is told.
inline constexpr char ConfigCannotWrite[] = "Не могу записать файл конфигурации %1:\n%2";
inline constexpr char ConfigCannotRead[] = "Не могу прочитать файл конфигурации %1";
inline constexpr char LayoutCannotWrite[] =
    "Не могу сохранить расположение окон в файле %1:\n%2\nФайл остался прежним.";
inline constexpr char AboutCaption[] = "О программе...";
inline constexpr char AboutDescription[] =
    "Система измерения коэффициента потерь вызовов (КПВ) телефонной сети.\n"
    "До 64 измерительных модемов Teliq 3310 на COM-портах, автоответчики, протоколы, "
    "отчеты и база результатов.";
inline constexpr char AboutVersion[] = "Версия %1 от %2";
inline constexpr char HelpCaption[] = "Помощь";
inline constexpr char HelpMissing[] = "Раздел помощи %1 не найден: %2";
inline constexpr char AppUsage[] =
    "zev7 [ФАЙЛ.LST] [--open ПОРТ[:СЦЕНАРИЙ]]... [--answer ПОРТ[:СЦЕНАРИЙ]]...";
inline constexpr char AppOptionOpen[] =
    "Открыть окно порта; со сценарием: загрузить его в окно, готовым к старту";
inline constexpr char AppOptionAnswer[] =
    "Открыть окно порта и включить на нем режим автоответчика с настройками сценария";
inline constexpr char AppBadOpenItem[] = "Неверное задание окна порта: %1";

// ---- Scenarios and scenario files ----------------------------------------------------------
inline constexpr char ScenarioCannotOpen[] = "Не могу открыть файл сценария";
inline constexpr char ScenarioVersionHead[] = "Версия файла сценария:\n";
inline constexpr char ScenarioVersionMid[] = ":   [";
inline constexpr char ScenarioVersionTail[] = "]\nне совпадает с версией программы ВЕРСА-ТЛ:   [";
inline constexpr char ScenarioVersionEnd[] = "]";
inline constexpr char ScenarioNoMemory[] = "Нет памяти для расширения сценария!";
inline constexpr char ScenarioCannotWrite[] = "Не могу записать файл сценария:\n";
inline constexpr char ScenarioDamaged[] = "Файл сценария поврежден:\n";
inline constexpr char ScenarioDamagedVersionLength[] = "неверная длина текста версии";
inline constexpr char ScenarioDamagedShortHeader[] = "файл короче заголовка сценария";
inline constexpr char ScenarioDamagedCycleCount[] = "неверное количество циклов: %1";
inline constexpr char ScenarioDamagedShortCycles[] =
    "в заголовке указано циклов: %1, в файле помещается: %2";
inline constexpr char ScenarioDamagedValue[] = "недопустимое значение %1 = %2";
inline constexpr char ScenarioDamagedCycleValue[] = "цикл %1: недопустимое значение %2 = %3";
inline constexpr char ScenarioCycleProblem[] = "цикл %1: %2";
inline constexpr char NumberFieldBadSymbols[] = "Поле номера \"%1\" = %2: недопустимые символы";
inline constexpr char NumberEnumBad[] =
    "Перебор поля номера \"%1\": недопустимые конечное значение %2 и шаг %3";
inline constexpr char FieldBadDate[] = "Недопустимое значение %1 = %2: не дата";
inline constexpr char ScenarioAskSave[] = "Сохранить текущий сценарий ?";
inline constexpr char ScenarioOpenTitle[] = "Открыть сценарий";
inline constexpr char ScenarioSaveTitle[] = "Сохранение сценария";
inline constexpr char ScenarioFilesFilter[] = "Файлы сценариев";
inline constexpr char AllFilesFilter[] = "Все файлы";
inline constexpr char ScenarioExistsName[] = "Имя";
inline constexpr char ScenarioExistsOverwrite[] = "уже существует! Перезаписать?";
inline constexpr char RunCountLabel[] = "Количество исполнений сценария";
inline constexpr char RepeatOnce[] = "Однократное исполнение сценария";
inline constexpr char RepeatAfterEnd[] = "Автоповтор по завершении исполнения";
inline constexpr char RepeatFromBaseTime[] = "Автоповтор относительно базового времени";
inline constexpr char RepeatIntervalLabel[] = "Интервал повтора сценария";
inline constexpr char AnswerModeBetweenCyclesHint[] =
    "Перевод ВУ в режим автоответа \r\nмежду циклами сценария: вкл/откл";
inline constexpr char ToneCheckLabel[] = "Контроль затухания Исх->Вх";

// ---- Telephone numbers and the number editor -----------------------------------------------
inline constexpr char NumberEditorCaption[] = "Введите номер:";
inline constexpr char FieldHierAtx[] = "Преднабор 1";
inline constexpr char FieldBefCall[] = "Преднабор 2";
inline constexpr char FieldCodeCity[] = "Код города";
inline constexpr char FieldAddCode[] = "Дополн.код";
inline constexpr char FieldNumAtx[] = "№ АТС";
inline constexpr char FieldNumOnAtx[] = "№ на АТС";
inline constexpr char FieldAddCall[] = "Донабор";
inline constexpr char ColumnHierAtx[] = "Пред\nнабор 1";
inline constexpr char ColumnBefCall[] = "Пред\nнабор 2";
inline constexpr char ColumnCodeCity[] = "Код\nгорода";
inline constexpr char ColumnAddCode[] = "Доп.\nкод";
inline constexpr char ColumnNumAtx[] = "№ АТС";
inline constexpr char ColumnNumOnAtx[] = "№ на АТС";
inline constexpr char ColumnAddCall[] = "Донабор";
inline constexpr char EnumCheckBox[] = "Перебор\r\nномера";
inline constexpr char EnumEndValue[] = "Конечное\r\nзначение";
inline constexpr char EnumStep[] = "Шаг";
inline constexpr char ButtonCancel[] = "Отмена";
inline constexpr char ButtonHelp[] = "Помощь";
inline constexpr char WrongSymbol[] = "Неверный символ!";
inline constexpr char NoNumberOnAtx[] = "Не задан номер на АТС!";
inline constexpr char NoNumberOnAtxOut[] = "Не задан номер на АТС на исходящей станции!";
inline constexpr char NoCityCode[] =
    "Не задан код города!\n Для городского номера код города следует задавать в скобках!";
inline constexpr char NoCityCodeOut[] =
    "Не задан код города на исходящей станции!\n Для городского номера код города следует "
    "задавать в скобках!";
inline constexpr char NoAtxNumber[] = "Не задан номер АТС!";
inline constexpr char NoAtxNumberOut[] = "Не задан номер АТС на исходящей станции!";
inline constexpr char OutgoingEqualsCycle[] =
    "Телефонный номер исходящей совпадает с\nтелефонным номером цикла";
inline constexpr char NumberFieldTooLong[] = "Поле номера \"%1\" длиннее 19 символов: %2";

// ---- Port data window ----------------------------------------------------------------------
inline constexpr char PortCaptionPrefix[] = "Порт:";
inline constexpr char PageScenario[] = "Сценарий";
inline constexpr char PageAnswerModem[] = "Модем-автоответчик";
inline constexpr char PageProtocol[] = "Протокол";
inline constexpr char PageResults[] = "Результаты";
inline constexpr char PageResultCycle[] = "Цикл";
inline constexpr char PageResultCalls[] = "Вызовы";
inline constexpr char ButtonSet[] = "Установить";
inline constexpr char ButtonCycleSettings[] = "Настройки цикла >>";
inline constexpr char SetAnswerHint[] = "Сохранение настроек в файле \r\nсценария и запись в модем";
inline constexpr char DeleteAll[] = "Удалить все";
inline constexpr char SpeakerHint[] = "Динамик модема: вкл/откл";
inline constexpr char CycleColNumber[] = "№\nп/п";
inline constexpr char CycleColRun[] = "Исполнять\nцикл";
inline constexpr char CycleColNumberText[] = "Телефонный номер\nавтоответчика";
inline constexpr char CycleColDuration[] = "Расч.длит.\nчасы:мин";
inline constexpr char CycleTableHint[] =
    "Для редактирования телефонного номера автоответчика на\r\nвходящей станции нажмите правую "
    "кнопку \"мыши\"";
inline constexpr char ResultColCount[] = "шт";
inline constexpr char ResultColPercent[] = "%";
inline constexpr char CallColNumber[] = "№";
inline constexpr char CallColResult[] = "Вызов";
inline constexpr char CallColAttenuation[] = "Затухание,дБ";
inline constexpr char CallColDialTone[] = "ОС,дБм";
inline constexpr char CallColRingback[] = "СКПВ,дБм";
inline constexpr char CallColDuration[] = "Длител.";
inline constexpr char CallColStart[] = "Начало";
inline constexpr char CallColEnd[] = "Конец";
inline constexpr char CallHintNumber[] = "Номер попытки вызова";
inline constexpr char CallHintResult[] = "Результат попытки вызова";
inline constexpr char CallHintAttenuation[] = "Значение затухания";
inline constexpr char CallHintDialTone[] = "Уровень ОС,дБм";
inline constexpr char CallHintRingback[] = "Уровень СКПВ,дБм";
inline constexpr char CallHintDuration[] = "Длительность попытки вызова";
inline constexpr char CallHintStart[] = "Время начала попытки вызова";
inline constexpr char CallHintEnd[] = "Время окончания попытки вызова";
inline constexpr char BarOutgoing[] = "Исходящая:";
inline constexpr char BarBaseTime[] = "Базовое время:";
inline constexpr char BarOut[] = "Исх.";
inline constexpr char BarIn[] = "Вх.";
inline constexpr char EmptyNumberText[] = "-/-/-/-/-/-/-";
inline constexpr char EmptyCycleStart[] = "00.00.00 00:00";
inline constexpr char HintOutNumber[] =
    "Для ввода и редактирования\n телефонного номера вызывного\n устройства на исходящей "
    "станции\n нажмите правую кнопку \"мыши\"";
inline constexpr char HintBaseTime[] =
    "Для ввода и редактирования\n базового времени сценария\n нажмите правую кнопку \"мыши\"";
inline constexpr char HintResOutNumber[] =
    "Телефонный номер вызывного устройства\nна  исходящей станции";
inline constexpr char HintResCycleStart[] = "Время начала текущего исполняемого цикла";
inline constexpr char HintResCycleNumber[] = "Номер текущего исполняемого цикла";
inline constexpr char HintResInNumber[] = "Телефонный номер автоответчика\nна входящей станции";
inline constexpr char GraphCalls[] = "Диаграмма вызовов";
inline constexpr char GraphLosses[] = "Диаграмма потерь вызова";
inline constexpr char GraphAttenuation[] = "Затухание";
inline constexpr char GraphDialTone[] = "Уровень ОС";
inline constexpr char GraphRingback[] = "Уровень СКПВ";
inline constexpr char HintGraphParams[] = "Графики:\n- Затухание;\n- Уровень ОС;\n- Уровень СКПВ;";
inline constexpr char HintGetSettings[] = "Получить текущие настройки модема";
inline constexpr char HintSetAndMonitor[] =
    "Установить новые параметры и перевести модем в режим\nавтоответчика (модем будет отвечать "
    "на входящие звонки\nформированием сигнала автоответа с установленными параметрами).\n"
    "Запустить процесс мониторинга входящих звонков\n(при поступлении на вход модема сигнала "
    "вызова в\nпротокол будет вноситься соответствующая запись)";
inline constexpr char HintStopMonitoring[] =
    "Прервать режим мониторинга входящих звонков\nВ протокол не будут вноситься записи о\n"
    "поступлении сигналов вызова.\nРежим автоответчика сохраняется установленным";
inline constexpr char HintLeaveAnswering[] = "Прервать режим автоответчика";
inline constexpr char HintModemMode[] = "Текущий режим модема";
inline constexpr char AskLeaveAnswering[] = "Прервать режим автоответчика?";
inline constexpr char AskStopScenario[] = "Прервать сценарий?";
inline constexpr char PortWindowNoScenario[] = "Не найден файл %1";
inline constexpr char AaLevelLabel[] = "Уровень сигнала АО, дБм";
inline constexpr char AaFrequencyLabel[] = "Частота сигнала АО, Гц";
inline constexpr char AaRingsLabel[] = "Число звонков до ответа";
inline constexpr char AaSignalTimeLabel[] = "Длительность сигнала АО, с";
inline constexpr char AaDelayOnLabel[] = "Задержка сигнала АО, с";
inline constexpr char AaDelayOffLabel[] = "Задержка отбоя, с";
inline constexpr char ToneThresholdLabel[] = "порог чувствительности, дБм";

// ---- Serial channel and the measuring modem ------------------------------------------------
// The messages of the modem error codes (ModemErrorCode).
inline constexpr char ModemErrorPortBusy[] = "Нет доступа ! COM - порт занят!";
inline constexpr char ModemErrorNoAnswer[] = "Нет ответа ! \n Возможно модем отключен!";
inline constexpr char ModemErrorSystem[] = "Системная ошибка !";
inline constexpr char ModemErrorWrongPort[] = "Выбран неверный COM-порт ! \n ";
inline constexpr char ModemErrorModemFailure[] = "Отказ модема !";
inline constexpr char ModemErrorNoMemory[] = "Недостаточно памяти !";
inline constexpr char ModemErrorNoCycles[] = "Не задано ни одного цикла в сценарии!";
inline constexpr char ModemErrorNoScenarioMemory[] = "Нет памяти для расширения сценария!";
inline constexpr char ModemErrorNoScenarioFile[] = "Не найден файл сценария !";
inline constexpr char ModemErrorWrongModel[] = "Неверный тип модема!\n Необходим модем Teliq 3310!";
inline constexpr char ModemErrorFrequency[] =
    "отменен ! Частота сигнала автоответчика \n не соответствует диапазону рабочих частот "
    "модема!";
// The error report: caption "Модем: <context>", body "COM3: <message><detail>".
inline constexpr char ModemCaption[] = "Модем:";
inline constexpr char ModemTryToContinue[] = "Попытаться продолжить?";
inline constexpr char ModemPortDoesNotExist[] = "Порт не существует!";
inline constexpr char ModemContextInit[] = "Ошибка инициализации!";
inline constexpr char ModemContextNoCts[] = "Нет CTS";
inline constexpr char ModemContextProbe[] = "ModemSendGetData SendSym_A()";
inline constexpr char ModemContextSend[] = "ModemSendGetData SIOSend";
inline constexpr char ModemContextRead[] = "ModemSendGetData OGetch1";
// The answering station names the same failures without the routine's name.
inline constexpr char ModemContextProbeShort[] = "SendSym_A()";
inline constexpr char ModemContextSendShort[] = "SIOSend";
inline constexpr char ModemContextReadShort[] = "OGetch1";
inline constexpr char ModemContextCtsSend[] = "AnalysState() SIOSend";
inline constexpr char ModemContextCtsRead[] = "AnalysState() OGetch1";
inline constexpr char ModemContextGetChar[] = " GetChar() OGetch1";
inline constexpr char ModemContextPurge[] = "CommClr::PurgeComm";
inline constexpr char ModemContextPending[] = "Getch::ClearCommError";
// The answering station's ring check names the same failure so.
inline constexpr char ModemContextRingCheck[] = "Getch::ClearComm";
// The detail of a short reply: " Команда ATS0? Получено ATS0?".
inline constexpr char ModemDetailCommand[] = " Команда ";
inline constexpr char ModemDetailReceived[] = " Получено ";
// The caption of a system error of the serial port: "LastError - CommClr::PurgeComm".
inline constexpr char ModemLastErrorCaption[] = "LastError - %1";

// ---- Port thread, test call, cycle results and protocol ------------------------------------
// Test-call outcomes, padded with blanks as they are stored (the call table, the report and
// the pies show them this way).
inline constexpr char ResultSuccess[] = "Вызов состоялся           ";
inline constexpr char ResultNoDialTone[] = "Нет сигнала ОС              ";
inline constexpr char ResultBusyOutgoing[] = "Занято на исходящей         ";
inline constexpr char ResultCongestionOutgoing[] = "Перегрузка на исходящей     ";
inline constexpr char ResultNoDialToneDialling[] = "Нет сигнала ОС при наборе   ";
inline constexpr char ResultBusyDialling[] = "Занято на исх. при наборе   ";
inline constexpr char ResultCongestionDialling[] = "Перегрузка на исх.при наборе";
inline constexpr char ResultNoRingback[] = "Нет СКПВ                    ";
inline constexpr char ResultBusyIncoming[] = "Занято на входящей          ";
inline constexpr char ResultCongestionIncoming[] = "Перегрузка на входящей      ";
inline constexpr char ResultNoAnswerSignal[] = "Нет сигнала АО              ";
inline constexpr char ResultAnswerSignalTooLong[] = "Превышена длит. сигнала АО  ";
inline constexpr char ResultNoClearBack[] = "Нет сигнала \"Отбой\"         ";
inline constexpr char ResultOutgoingSignalNotDetected[] = "АО не обнаружил сигнала исх ";
// Port events as the protocol and the port window show them.
inline constexpr char EventScenarioFinished[] = "Сценарий завершен!";
inline constexpr char EventScenarioInterrupted[] = "Сценарий прерван!";
inline constexpr char EventCycleCancelledLate[] = "отменен ! Истек интервал времени начала цикла!";
inline constexpr char EventCyclePostponed[] = "отложен ! Номер автоответчика занят другим каналом!";
inline constexpr char EventCycleStarted[] = "отработка начата!";
inline constexpr char EventCycleFinished[] = "завершен!";
inline constexpr char EventScenarioStarted[] = "Сценарий запущен!";
inline constexpr char EventRingWarning[] =
    "Предупреждение! Поступление \"звонка\" на вызывное устройство!";
inline constexpr char EventCycleCancelledFrequency[] =
    "отменен ! Частота сигнала автоответчика \n не соответствует диапазону рабочих частот "
    "модема!";
inline constexpr char EventCallingMode[] = "Модем установлен в режим вызывного устройства";
inline constexpr char EventAnsweringMode[] = "Модем установлен в режим автоответчика";
inline constexpr char EventRingReceived[] = "Получен сигнал вызова";
inline constexpr char EventNoAnswer[] = "Нет ответа ! \n Возможно модем отключен!";
// The status cell of the call being made.
inline constexpr char CallStatusWaitDialTone[] = "Жду сигнал ОС";
inline constexpr char CallStatusDialling[] = "Набор номера";
inline constexpr char CallStatusWaitRingback[] = "Жду СКПВ";
inline constexpr char CallStatusWaitAnswerSignal[] = "Жду сигнал АО";
inline constexpr char CallStatusWaitClearBack[] = "Жду сигнал \"Отбой\"";
inline constexpr char CallStatusWaitDialToneDialling[] = "Жду сигнал ОС при наборе";
// A call that the end of the run cut short, without a result.
inline constexpr char CallStatusStopped[] = "Вызов прерван";
// The mode panel of the port window's status bar.
inline constexpr char ModeAnswering[] = "Режим автоответчика. Мониторинг звонков.";
inline constexpr char ModeCalling[] = "Режим вызывного устройства";
inline constexpr char ModeNotSet[] = "Режим не задан";
inline constexpr char ModeAnsweringStation[] = "Режим автоответчика";
// Protocol lines: "dd.mm.yy hh:mm:ss Порт: N Цикл 2 <number> <event>".
inline constexpr char ProtocolPort[] = "Порт";
inline constexpr char ProtocolCycle[] = "Цикл";
inline constexpr char ProtocolCall[] = "вызов %1:";
inline constexpr char ProtocolNoNumber[] = "-";
// The cycle result table: row captions padded to the width of the outcome texts, its
// column heads, the verdict and the mark of a value that was not measured.
inline constexpr char SummaryCalls[] = "Попыток вызова              ";
inline constexpr char SummarySuccesses[] = "Всего успешных вызовов      ";
inline constexpr char SummaryLosses[] = "Всего потерь вызовов        ";
inline constexpr char SummaryNorm[] = "Норма потерь вызовов        ";
inline constexpr char SummaryVerdict[] = "Отметка соответствия        ";
inline constexpr char SummaryCountHead[] = "шт";
inline constexpr char SummaryPercentHead[] = "%";
inline constexpr char VerdictNorm[] = "Норма";
inline constexpr char VerdictNotNorm[] = "Ненорма";
inline constexpr char NotMeasured[] = "----";
// The confidence of the verdict: the 95 % interval of the loss share, the verdict it proves
// (or that it proves none yet, and how many more calls at the same share would), and "—" where
// nothing can be said (no calls yet, or a share exactly at the norm).
inline constexpr char ConfidenceHead[] = "95 %";
inline constexpr char ConfidenceDecisionHead[] = "Вывод по 95 %";
inline constexpr char ConfidenceInterval[] = "%1–%2 %";
inline constexpr char ConfidenceUndecided[] = "не доказано, ещё вызовов: %1";
inline constexpr char ConfidenceNothing[] = "—";
inline constexpr char ConfidenceConsole[] = "; 95 %: %1; %2";
inline constexpr char ConfidenceReportLine[] = "Доля потерь с вероятностью 95 %: %1; вывод: %2";
// The line-held question: the same loss repeated too often; the line is still off-hook.
inline constexpr char HeldOutgoing[] = "Исх.";
inline constexpr char HeldIncoming[] = "Вх.";
inline constexpr char HeldQuestion[] = "Линия удержана!\n\nПродолжить выполнение сценария?";
// Failures while the port thread prepares the modem: at start-up, and before a test call.
inline constexpr char SetupContextEchoSend[] = "1 CheckCycleFreq() SIOSend";
inline constexpr char SetupContextEchoRead[] = "1 CheckCycleFreq() OGetch1";
inline constexpr char SetupContextResetSend[] = "CheckCycleFreq() SIOSend";
inline constexpr char SetupContextResetRead[] = "CheckCycleFreq() OGetch1";
inline constexpr char SetupContextCallSend[] = "EverySeans() SIOSend";
inline constexpr char SetupContextCallRead[] = "EverySeans() OGetch1";
// The console view of a port (zev7-run): the cycle start, each call row and the cycle result.
inline constexpr char ConsoleCycleStart[] =
    "COM%1: цикл %2 (исполнение %3), начало %4, Исх. %5, Вх. %6";
inline constexpr char ConsoleCallRow[] =
    "COM%1: вызов %2: %3; затухание %4 дБ; ОС %5 дБм; СКПВ %6 дБм; длит. %7; %8 - %9";
inline constexpr char ConsoleSummary[] =
    "COM%1: попыток %2, успешных %3 (%4 %), потерь %5 (%6 %), норма %7 %: %8";
inline constexpr char ConsoleRunEnd[] = "COM%1: работа порта закончена";
// A fault inside the program ended a port's thread (the port is given back, the run failed).
inline constexpr char ThreadFault[] = "Работа прервана внутренней ошибкой программы: %1";
inline constexpr char ThreadFaultUnknown[] = "неизвестная ошибка";

// ---- Alerts of an unattended run ("[Оповещение]" of ZEV7.ini) ------------------------------
// The protocol lines of the alerts and of their recovery (the same text reaches the desktop
// notification, the batch log, the console of zev7-run and the command's ZEV7_TEXT).
inline constexpr char AlertLossStreak[] = "Оповещение: потерь вызовов подряд: %1";
inline constexpr char AlertCategoryStreak[] = "Оповещение: потерь вызовов подряд (%2): %1";
inline constexpr char AlertFailedCycles[] =
    "Оповещение: циклов подряд с отметкой соответствия \"Ненорма\": %1";
inline constexpr char AlertThreadError[] = "Оповещение: работа порта завершена с ошибкой";
inline constexpr char AlertThreadErrorReason[] = "Оповещение: работа порта завершена с ошибкой: %1";
inline constexpr char AlertCallsRecovered[] = "Оповещение снято: вызов состоялся";
inline constexpr char AlertCyclesRecovered[] =
    "Оповещение снято: цикл с отметкой соответствия \"Норма\"";
inline constexpr char AlertCommandFailed[] = "Оповещение: не могу запустить команду %1: %2";
// The section's values that are refused when the program starts.
inline constexpr char AlertBadThreshold[] =
    "ZEV7.ini, раздел [Оповещение]: %1=%2 - ожидается целое число от 0 до %3. Это оповещение "
    "выключено.";
inline constexpr char AlertBadCommand[] =
    "ZEV7.ini, раздел [Оповещение]: Command=%1 - не могу выделить имя программы. Команда при "
    "оповещении не запускается.";
// The desktop notification's title, and the line of the alert in zev7-run's error output.
inline constexpr char AlertCaption[] = "ВЕРСА-ТЛ: оповещение";
inline constexpr char AlertNotice[] = "Порт %1: %2";
inline constexpr char ConsoleAlert[] = "COM%1: %2";

// ---- Answering station ---------------------------------------------------------------------
inline constexpr char AnswerStopMonitoringQuestion[] =
    "Прервать режим мониторинга входящих звонков?";
// The console view of an answering station (zev7-run): the settings the modem holds, the end.
inline constexpr char ConsoleAnswerSettings[] =
    "COM%1: автоответчик: уровень %2 дБм, частота %3 Гц, звонков %4, задержка включения %5 с, "
    "сигнал %6 с, задержка отключения %7 с, полоса контроля тона %8, порог %9 дБм";
inline constexpr char ConsoleAnswerEnd[] = "COM%1: автоответчик остановлен: %2";

// ---- Database and result report -----------------------------------------------------------
inline constexpr char DbCannotWrite[] = "Не могу записать в БД.";
// The port's protocol when the central database server goes away and comes back.
inline constexpr char ProtocolServerAway[] =
    "Сервер БД недоступен: результаты сохраняются на станции до его возвращения.";
inline constexpr char ProtocolServerBack[] =
    "Сервер БД снова доступен: сохраненные на станции результаты переданы на сервер.";
inline constexpr char DbCannotOpen[] = "Не могу открыть БД:\n%1\n%2";
inline constexpr char DbCannotCreateDir[] = "Не могу создать каталог БД:\n%1";
inline constexpr char CompactCaption[] = "Сжатие БД";
inline constexpr char CompactStart[] = "Начать сжатие БД";
inline constexpr char CompactInterrupt[] = "Прервать";
inline constexpr char CompactClose[] = "Закрыть";
inline constexpr char CompactDone[] = "Сжатие БД завершено";
inline constexpr char CompactTableSuffix[] = ".db...";
inline constexpr char MaintenancePortsRunning[] =
    "Идет работа с портами! Повторите после завершения всех сценариев!";
inline constexpr char DbCheckStepFile[] = "Проверка файла БД";
inline constexpr char DbCheckStepColumns[] = "Проверка столбцов таблиц";
inline constexpr char DbCheckStepLinks[] = "Проверка связей записей";
inline constexpr char DbCheckFailed[] = "Проверка не выполнена: %1";
inline constexpr char DbCheckEngine[] = "Файл БД поврежден: %1";
inline constexpr char DbCheckNoTable[] = "Нет таблицы %1";
inline constexpr char DbCheckColumns[] = "Таблица %1: столбцы %2; ожидаются %3";
inline constexpr char DbCheckUnlinked[] = "Таблица %1: записей без своей записи в %3: %2";
// Texts of the database's dictionaries Table_SettParam_Cycle and TABLE_CYCLESTATE, by
// identifier. (Table_ResParam and TABLE_RESCALLPARAMSEANS take the result table's captions
// and the outcome texts above.)
inline constexpr const char* DbCycleSettingNames[24] = {
    "Минимальное количество попыток вызова, шт",
    "Максимальное количество попыток вызова, шт",
    "Норма КПВ для мин. количества попыток вызова, %",
    "Норма КПВ для макс. количества попыток вызова, %",
    "Порог чувствительности сигнала ОС, дБм",
    "Флаг распознавания СКПВ",
    "Порог чувствительности СКПВ, дБм",
    "Порог чувствительности сигнала АО, дБм",
    "Порог по длительности сигнала АО, от, с",
    "Порог по длительности сигнала АО, до, с",
    "Флаг контроля затухания Исх->Вх",
    "Уровень сигнала АО, дБм",
    "Частота сигнала АО, Гц",
    "Количество активирующих звонков АО, шт",
    "Задержка включения сигнала АО, с",
    "Задержка отключения после сигнала АО, с",
    "Пауза после окончания попытки вызова, с",
    "Интервал времени ожидания сигналов, с",
    "Порог распознавания СКПВ по длительности, с",
    "Период сигнала 'Занято', от, с",
    "Период сигнала 'Занято', до, с",
    "Период сигнала 'Перегрузка', от, с",
    "Период сигнала 'Перегрузка', до, с",
    "Длительность сигнала от исходящей, с",
};
inline constexpr const char* DbCycleStateNames[3] = {
    "Не завершен",
    "Завершен (мин.)",
    "Завершен (макс.)",
};

// ---- Database windows: selection, filter, statistics ---------------------------------------
inline constexpr char DbNoOutgoingChosen[] = "Не выбрана исходящая станция!";
inline constexpr char DbNoIncomingChosen[] = "Не выбрана входящая станция!";
inline constexpr char DbFilterBadBound[] = "Неверное значение границы: %1";
inline constexpr char DbQueryFailed[] = "Ошибка запроса к БД:\n%1";
inline constexpr char DbRowOf[] = "из";
inline constexpr char DbTotalsCaption[] = "ИТОГ";
// Column titles of the cycle list, the totals row and the statistics tables.
inline constexpr char DbColOutgoing[] = "Исходящая";
inline constexpr char DbColIncoming[] = "Входящая";
inline constexpr char DbColDate[] = "Дата";
inline constexpr char DbColStart[] = "Начало";
inline constexpr char DbColEnd[] = "Конец";
inline constexpr char DbColTime[] = "Время";
inline constexpr char DbColCallsList[] = "Попыток вызова, шт";
inline constexpr char DbColLossesList[] = "Потерь вызова,шт";
inline constexpr char DbColCalls[] = "Попыток вызова,шт";
inline constexpr char DbColLosses[] = "Потерь вызова,шт";
inline constexpr char DbColKpv[] = "КПВ,%";
inline constexpr char DbColNorm[] = "Норма,%";
inline constexpr char DbColMinNormPercent[] = "Мин.норма,%";
inline constexpr char DbColState[] = "Состояние цикла";
inline constexpr char DbColStation[] = "Пункт измерений";
inline constexpr char DbColCount[] = "шт";
inline constexpr char DbColPercent[] = "%";
inline constexpr char DbColNormShort[] = "Норма";
inline constexpr char DbColMinNorm[] = "Мин.норма";
inline constexpr char DbColCallNo[] = "№ п/п";
inline constexpr char DbColCall[] = "Вызов";
inline constexpr char DbColAttenuation[] = "Затухание, дБ";
inline constexpr char DbColDialTone[] = "ОС, дБм";
inline constexpr char DbColRingback[] = "СКПВ, дБм";
inline constexpr char DbColDuration[] = "Длительность";
inline constexpr char DbColParamName[] = "Наименование параметра";
inline constexpr char DbColValue[] = "Значение";
inline constexpr char DbColAverAttenuation[] = "Затухание,дБ";
inline constexpr char DbColAverDialTone[] = "ОС,дБм";
inline constexpr char DbColAverRingback[] = "СКПВ,дБм";
inline constexpr char DbCountSuffix[] = ",шт";
inline constexpr char DbPercentSuffix[] = ",%";
// Units of the filter's parameters.
inline constexpr char UnitPieces[] = "шт";
inline constexpr char UnitSeconds[] = "с";
inline constexpr char UnitDbm[] = "дБм";
inline constexpr char UnitHertz[] = "Гц";
inline constexpr char UnitPercent[] = "%";
// The port's HTML result report: its head, the cycle paragraph, the page captions of the port
// window that head the call and result tables, the call table's columns.
inline constexpr char ReportProduct[] =
    "Программно-аппаратный измерительный комплекс\nдля определения коэффициента потерь "
    "вызова\nTeliq ВЕРСА-ТЛ версия ";
inline constexpr char ReportVersionFrom[] = "от";
inline constexpr char ReportOutgoing[] = "Исх.";
inline constexpr char ReportIncoming[] = "Вх.";
inline constexpr char ReportCycle[] = "Цикл";
inline constexpr char ReportNumberSign[] = "№";
inline constexpr char ReportCallsPage[] = "Вызовы";
inline constexpr char ReportCyclePage[] = "Цикл";
inline constexpr const char* ReportCallColumns[8] = {
    "№", "Вызов", "Затухание,дБ", "ОС,дБм", "СКПВ,дБм", "Длител.", "Начало", "Конец",
};
// The cycle settings table of the report.
inline constexpr char ReportSettingsHeading[] = "Настройки цикла";
inline constexpr char ReportSettingNameHead[] = "Наименование параметра";
inline constexpr char ReportSettingValueHead[] = "Значение параметра";
inline constexpr char ReportOn[] = "вкл.";
inline constexpr char ReportOff[] = "выкл.";
inline constexpr char ReportRangeFrom[] = "от";
inline constexpr char ReportRangeTo[] = "до";
inline constexpr char ReportMinAttempts[] = "Минимальное количество попыток вызова, шт";
inline constexpr char ReportMaxAttempts[] = "Максимальное количество попыток вызова, шт";
inline constexpr char ReportNormAtMin[] = "Норма КПВ для минимального количества попыток вызова, %";
inline constexpr char ReportNormAtMax[] =
    "Норма КПВ для максимального количества попыток вызова, %";
inline constexpr char ReportDialToneThreshold[] =
    "Порог чувствительности сигнала ОС,\n\r\n'Занято на исходящей',\n\r\n'Перегрузка на "
    "исходящей', дБм";
inline constexpr char ReportRingbackCheck[] =
    "Флаг распознавания СКПВ,\n\r\n'Занято на входящей',\n\r\n'Перегрузка на входящей', дБм";
inline constexpr char ReportRingbackThreshold[] =
    "Порог чувствительности СКПВ,\n\r\n'Занято на входящей',\n\r\n'Перегрузка на входящей', дБм";
inline constexpr char ReportAnswerThreshold[] = "Порог чувствительности сигнала АО, дБм";
inline constexpr char ReportAnswerTime[] = "Порог по длительности сигнала АО, с";
inline constexpr char ReportAttenuationCheck[] = "Флаг контроля затухания Исх->Вх";
inline constexpr char ReportClearBackThreshold[] =
    "Порог чувствительности сигнала \"Занято, отбой\", дБм";
inline constexpr char ReportCalledAaSection[] = "Параметры вызываемого автоответчика";
inline constexpr char ReportAaLevel[] = "Уровень сигнала АО, дБм";
inline constexpr char ReportAaFrequency[] = "Частота сигнала АО, Гц";
inline constexpr char ReportAaRings[] = "Количество активирующих звонков АО, шт";
inline constexpr char ReportAaDelayOn[] = "Задержка включения сигнала АО, с";
inline constexpr char ReportAaDelayOff[] = "Задержка отключения после сигнала АО, с";
inline constexpr char ReportMoreSection[] = "Дополнительные настройки цикла";
inline constexpr char ReportPause[] = "Пауза после окончания попытки вызова, с";
inline constexpr char ReportWaitTime[] = "Интервал времени ожидания сигналов, с";
inline constexpr char ReportRingbackTime[] = "Порог распознавания СКПВ по длительности, с";
inline constexpr char ReportBusyPeriod[] =
    "Период следования сигналов 'Занято на исходящей',\r\n'Занято на входящей','Занято, отбой', "
    "с";
inline constexpr char ReportOverloadPeriod[] =
    "Период следования сигналов 'Перегрузка на исходящей',\r\n'Перегрузка на входящей', с";
inline constexpr char ReportAttenuationSignalTime[] = "Длительность сигнала от исходящей, с";
// Saving the final report, and what goes wrong with the report's files.
inline constexpr char ReportSaveTitle[] = "Сохранить файл результатов";
inline constexpr char ReportFilesFilter[] = "Файл результата";
inline constexpr char ReportCannotOpen[] = "Порт%1. Не могу открыть файл результатов";
inline constexpr char ProtocolCannotWrite[] = "Не могу записать протокол порта:\n%1\n%2";
inline constexpr char ReportCannotWriteFile[] = "Невозможна запись в файл результатов!\n%1\n%2";
inline constexpr char ReportCannotSave[] = "Порт%1. Не могу сохранить файл результатов:\n%2";

// ---- Command-line tools --------------------------------------------------------------------
// zev7-scn: setting scenario fields by their names.
inline constexpr char FieldUnknown[] = "Неизвестное поле: %1";
inline constexpr char FieldDerived[] = "Поле %1 вычисляется программой и не задается";
inline constexpr char FieldNotNumber[] = "Значение %1 = %2 не является числом";
inline constexpr char FieldNotInteger[] = "Значение %1 = %2 не является целым числом";
inline constexpr char FieldOutOfRange[] = "Недопустимое значение %1 = %2 (допустимо от %3 до %4)";
inline constexpr char FieldFrequencyGap[] =
    "Недопустимое значение %1 = %2: частоты между 1500 и 2100 Гц не используются";
inline constexpr char FieldBadDateTime[] =
    "Значение %1 = %2: ожидаются дата и время в виде дд.мм.гг чч:мм";
inline constexpr char FieldBadInterval[] =
    "Значение %1 = %2: ожидаются минуты или часы:минуты (000:00 .. 999:59)";
inline constexpr char FieldStartBeforeBase[] = "Начало интервала %1 раньше базового времени %2";
inline constexpr char FieldOrder[] = "%1 = %2 не может быть больше %3 = %4";
inline constexpr char FieldBadIndex[] = "Неверный индекс в имени поля: %1";
inline constexpr char FieldBadEnum[] = "Значение %1 = %2: ожидается off или КОНЕЧНОЕ:ШАГ";
inline constexpr char FieldEnumNoStart[] =
    "Поле номера \"%1\" (%2) не содержит числа от 1: перебор невозможен";
inline constexpr char FieldEnumEnd[] =
    "Конечное значение %1 недостижимо от начального %2 с шагом %3";
// zev7-scn: the command line.
inline constexpr char ScnUsage[] =
    "Использование:\n"
    "  zev7-scn new ФАЙЛ\n"
    "  zev7-scn add-cycle ФАЙЛ НОМЕР\n"
    "  zev7-scn insert-cycle ФАЙЛ K НОМЕР\n"
    "  zev7-scn delete-cycle ФАЙЛ K\n"
    "  zev7-scn set-in ФАЙЛ K НОМЕР\n"
    "  zev7-scn set-out ФАЙЛ НОМЕР\n"
    "  zev7-scn set ФАЙЛ [--cycle K] ИМЯ=ЗНАЧЕНИЕ ...\n"
    "  zev7-scn show ФАЙЛ\n"
    "НОМЕР: семь полей через \"/\", например -/-/(495)/-/P123/P4567/-; K: номер цикла от 1";
inline constexpr char ScnBadNumber[] =
    "Номер задается семью полями через \"/\", например -/-/(495)/-/P123/P4567/-: %1";
inline constexpr char ScnWrongSymbolField[] = "Поле \"%1\": %2";
inline constexpr char ScnNoCycle[] = "Нет цикла %1: циклов в сценарии: %2";
inline constexpr char ScnBadAssignment[] = "Ожидается ИМЯ=ЗНАЧЕНИЕ: %1";
inline constexpr char ScnNothingToSet[] = "Не задано ни одного поля";
// zev7-scn show.
inline constexpr char ShowFile[] = "Файл сценария: %1";
inline constexpr char ShowVersion[] = "Версия файла: %1";
inline constexpr char ShowOutNumber[] = "Исходящий номер: %1";
inline constexpr char ShowRepeatMode[] = "Режим повтора: %1 (%2)";
inline constexpr char ShowBaseTime[] = "Базовое время: %1";
inline constexpr char ShowFinished[] = "Завершено циклов: %1";
inline constexpr char ShowCycleCount[] = "Циклов: %1";
inline constexpr char ShowAaBetween[] = "Режим автоответа между циклами: %1";
inline constexpr char ShowAaHeader[] = "Модем-автоответчик порта:";
inline constexpr char ShowAaLine[] =
    "  уровень %1 дБм, частота %2 Гц, звонков %3, сигнал %4 с, задержка включения %5 с, "
    "задержка отключения %6 с";
inline constexpr char ShowToneCheck[] = "  контроль тона от исходящей: %1, порог %2 дБм";
inline constexpr char ShowOn[] = "вкл";
inline constexpr char ShowOff[] = "откл";
inline constexpr char ShowCycle[] = "Цикл %1: %2";
inline constexpr char ShowState[] = "  состояние: %1 (%2)";
inline constexpr char StateExcluded[] = "исключен";
inline constexpr char StateTakenUp[] = "исполняется";
inline constexpr char StateWaiting[] = "ожидает";
inline constexpr char StatePostponed[] = "отложен";
inline constexpr char StateCancelled[] = "отменен";
inline constexpr char StateDone[] = "завершен";
inline constexpr char ShowWindow[] = "  интервал начала цикла: с %1 по %2";
inline constexpr char ShowAttempts[] = "  попытки вызова: не менее %1, не более %2";
inline constexpr char ShowNorms[] = "  норма КПВ, %: %1 при %2 попытках, %3 при %4 попытках";
inline constexpr char ShowThresholds[] =
    "  пороги, дБм: ОС %1, СКПВ %2 (распознавание СКПВ: %3), АО %4";
inline constexpr char ShowAnswerTime[] = "  длительность сигнала АО: от %1 до %2 с";
inline constexpr char ShowCalledAa[] =
    "  вызываемый автоответчик: уровень %1 дБм, частота %2 Гц, звонков %3, задержка "
    "включения %4 с, задержка отключения %5 с";
inline constexpr char ShowAttenuation[] = "  контроль затухания Исх->Вх: %1, сигнал %2 с";
inline constexpr char ShowTimings[] =
    "  пауза %1 с, ожидание сигналов %2 с, распознавание СКПВ %3 с";
inline constexpr char ShowPeriods[] =
    "  период, с: занято %1 .. %2, перегрузка %3 .. %4, отбой %5 .. %6";
inline constexpr char ShowHold[] = "  удержание линии: %1";
inline constexpr char ShowHoldNone[] = "нет";
inline constexpr char ShowEnum[] = "  перебор поля \"%1\": %2 .. %3, шаг %4, номеров %5";
inline constexpr char ShowEnumNone[] = "  перебор номера: нет";
inline constexpr char ShowDuration[] = "  расчетная длительность, часы:мин:%1";

// zev7-run: running scenarios on ports without the windows.
inline constexpr char RunUsage[] =
    "Использование:\n"
    "  zev7-run [--home КАТАЛОГ] [--db АДРЕС] [--station ИМЯ] [--restart] "
    "[--answer ПОРТ:СЦЕНАРИЙ ...] "
    "ПОРТ:СЦЕНАРИЙ[:ОТЧЕТ] ...\n"
    "Сценарий копируется в рабочую копию Scenar\\ComPort<N>.scn и исполняется на порту COM<N>;\n"
    "отчет о результатах сохраняется в Result\\ОТЧЕТ (по умолчанию Result_Port_<N>.html),\n"
    "результаты вызовов - в базе данных ZEV7DBASE.\n"
    "--restart: сценарии продолжаются после завершенных циклов (прерванную работу продолжает\n"
    "--restart ПОРТ:ComPort<N>.scn).\n"
    "--answer: порт работает автоответчиком с настройками заголовка сценария до остановки\n"
    "(Ctrl+C) или до завершения сценариев вызывающих портов.\n"
    "База данных: --db postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/ИМЯ_БД (или --db sqlite), иначе "
    "переменная ZEV7_DB,\nиначе раздел [База данных] файла ZEV7.ini каталога программы, иначе "
    "файл ZEV7DBASE/ZEV7.sqlite.\nИмя станции: --station, иначе Station= раздела [База данных]. "
    "Пароль - из ~/.pgpass или PGPASSWORD.";
inline constexpr char RunOptionHome[] = "Каталог программы (сценарии, протоколы, dev/COM<N>)";
inline constexpr char RunArgumentItem[] =
    "Порт COM<N> и его сценарий (путь или файл в Scenar), через двоеточие - имя итогового "
    "отчета в Result";
inline constexpr char RunOptionRestart[] =
    "Продолжить сценарии после завершенных циклов (состояния циклов сценария сохраняются)";
inline constexpr char RunCannotRestart[] =
    "COM%1: продолжение сценария невозможно: завершено циклов %2 из %3. Продолжить можно "
    "сценарий, в котором завершен хотя бы один, но не каждый цикл; иначе - запуск без "
    "--restart.";
inline constexpr char RunPortBusy[] =
    "COM%1: порт уже исполняет сценарий в другой программе этого каталога (%2)";
inline constexpr char RunPortInUse[] =
    "COM%1: последовательный порт %2 занят другой программой; рабочая копия сценария не "
    "изменена";
inline constexpr char RunNoItems[] = "Не задано ни одного порта со сценарием";
inline constexpr char RunBadItem[] =
    "Ожидается ПОРТ:СЦЕНАРИЙ[:ОТЧЕТ], например 1:demo.scn или 1:demo.scn:demo.html: %1";
inline constexpr char RunReportsAt[] = "Отчет о результатах порта %1: %2";
inline constexpr char RunDatabaseAt[] = "База данных: %1";
inline constexpr char RunBadPort[] = "Номер порта %1 вне диапазона 1..64";
inline constexpr char RunPortTwice[] = "Порт %1 задан дважды";
inline constexpr char RunNoScenario[] = "Не найден файл сценария %1";
inline constexpr char RunCannotPrepare[] = "Не могу подготовить рабочую копию сценария порта %1";
inline constexpr char RunNotStarted[] = "COM%1: сценарий не запущен (код %2)";
inline constexpr char RunStopping[] = "Остановка портов...";
inline constexpr char RunNoHome[] = "Каталог программы %1 не существует";
inline constexpr char RunCallsNotStored[] = "Не записано в базу данных вызовов: %1";
inline constexpr char RunCompletedNotStored[] =
    "Все сценарии завершены, но не все вызовы записаны в базу данных.";
inline constexpr char RunCompleted[] = "Все сценарии завершены.";
inline constexpr char RunNotCompleted[] = "Не все сценарии завершены.";
inline constexpr char RunOptionAnswer[] =
    "Порт - автоответчик с настройками автоответчика из заголовка сценария; пишет каждый "
    "входящий звонок в протокол порта до остановки (Ctrl+C), после вызывающих портов - до их "
    "окончания";
inline constexpr char RunAnswerBadItem[] =
    "Для --answer ожидается ПОРТ:СЦЕНАРИЙ, например 2:station.scn: %1";
inline constexpr char RunAnswerNotStarted[] = "COM%1: автоответчик не установлен (код %2)";
inline constexpr char RunAnswerStopped[] = "Автоответчики остановлены.";
inline constexpr char RunAnswerFailed[] = "Автоответчик остановлен из-за ошибки.";

// zev7-db: upkeep of the results database without the windows.
inline constexpr char DbToolUsage[] =
    "Использование:\n"
    "  zev7-db [--home КАТАЛОГ] [--db АДРЕС] compact     сжатие БД\n"
    "  zev7-db [--home КАТАЛОГ] [--db АДРЕС] clear-work  очистка рабочих таблиц окон БД\n"
    "  zev7-db [--home КАТАЛОГ] [--db АДРЕС] check       проверка целостности БД\n"
    "  zev7-db [--home КАТАЛОГ] [--db АДРЕС] stats       сколько циклов и вызовов, за какие дни\n"
    "  zev7-db [--home КАТАЛОГ] [--db АДРЕС] import ИСТОЧНИК  ввод результатов из другой БД\n"
    "                                                   (каталог с ZEV7.sqlite или с таблицами "
    "Paradox)\n"
    "  zev7-db [--home КАТАЛОГ] [--db АДРЕС] push        передача на сервер результатов,\n"
    "                                                   сохраненных на станции, пока сервер был "
    "недоступен\n"
    "  zev7-db [--to АДРЕС] copy --from ИСТОЧНИК        все результаты станции (каталог с "
    "ZEV7.sqlite,\n"
    "                                                   с таблицами Paradox или адрес ее "
    "сервера БД)\n"
    "                                                   на сервер; повторный\n"
    "                                                   запуск продолжает с того, что еще не "
    "передано\n"
    "  zev7-db [--home КАТАЛОГ] [--db АДРЕС] export [--format csv|json] [--from дд.мм.гг]\n"
    "          [--to дд.мм.гг] [--station ПУНКТ] [--calls|--cycles] [--output ФАЙЛ]\n"
    "                                                   выгрузка вызовов или циклов (по "
    "умолчанию\n"
    "                                                   циклов всех пунктов, в CSV, на "
    "стандартный вывод)\n"
    "compact, clear-work, check, import и push не выполняются, пока порты каталога исполняют "
    "сценарии.\n"
    "База данных (для push и copy - сервер): --db (или --to у copy) "
    "postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/ИМЯ_БД\n(или --db sqlite), иначе переменная ZEV7_DB, "
    "иначе раздел [База данных] файла ZEV7.ini каталога программы,\nиначе файл "
    "ZEV7DBASE/ZEV7.sqlite. Пароль - из ~/.pgpass или PGPASSWORD.";
inline constexpr char DbToolOptionHome[] = "Каталог программы (в нем ZEV7DBASE)";
inline constexpr char DbToolOptionFrom[] =
    "copy: каталог станции или адрес ее сервера БД, откуда копируются результаты; export: "
    "циклы, начатые не раньше этого дня (дд.мм.гг)";
inline constexpr char DbToolOptionTo[] =
    "copy: сервер БД, куда копируются результаты (то же, что --db); export: циклы, начатые не "
    "позже этого дня (дд.мм.гг)";
inline constexpr char DbToolOptionFormat[] =
    "Формат выгрузки: csv (RFC 4180) или json (JSON Lines)";
inline constexpr char DbToolOptionExportStation[] =
    "export: только циклы, измеренные этим пунктом (циклы без пункта - пункт этой станции)";
inline constexpr char DbToolOptionCalls[] = "По строке на вызов";
inline constexpr char DbToolOptionCycles[] = "По строке на цикл (по умолчанию)";
inline constexpr char DbToolOptionOutput[] = "Файл выгрузки (по умолчанию стандартный вывод)";
inline constexpr char DbToolExportFormat[] = "Неизвестный формат выгрузки: %1 (csv или json)";
inline constexpr char DbToolExportDate[] = "Неверная дата: %1 (нужно дд.мм.гг)";
inline constexpr char DbToolExportNoStation[] = "Не задан пункт измерений: --station ИМЯ";
inline constexpr char DbToolExportRows[] = "Нужно --calls или --cycles, не оба";
inline constexpr char DbToolExportOpen[] = "Не могу открыть файл %1: %2";
inline constexpr char DbToolExportProgress[] = "Выгружено строк: %1 из %2";
inline constexpr char DbToolExportDone[] = "Выгружено строк: %1";
inline constexpr char DbToolExportFailed[] = "Выгрузка не удалась: %1";
inline constexpr char DbToolExportInterrupted[] = "Выгрузка прервана; файл неполон.";
inline constexpr char DbToolNoDatabase[] = "Нет БД: %1";
inline constexpr char DbToolPortsList[] = "Исполняют сценарии порты: %1";
inline constexpr char DbToolProgress[] = "[%1%] %2";
inline constexpr char DbToolStep[] = "[%1/%2] %3...";
inline constexpr char DbToolPackFailed[] = "%1: не сжата (код %2)";
inline constexpr char DbToolCleared[] = "%1: очищена";
inline constexpr char DbToolClearFailed[] = "%1: не очищена (код %2)";
inline constexpr char DbToolSize[] = "Размер файла БД: %1 -> %2 байт";
inline constexpr char DbToolCheckOk[] = "Проверка целостности БД: нарушений нет.";
inline constexpr char DbToolCheckProblems[] = "Проверка целостности БД: нарушений: %1";
inline constexpr char DbToolStats[] =
    "Циклов: %1\nВызовов: %2\nИсходящих номеров: %3\nВходящих номеров: %4\nДни: %5";
inline constexpr char DbToolStatsDays[] = "с %1 по %2";
inline constexpr char DbToolStatsNoDays[] = "нет";
inline constexpr char DbToolStatsStation[] = "Пункт измерений %1: циклов %2, вызовов %3";
inline constexpr char DbToolCannotRead[] = "Не могу прочитать БД: %1";
inline constexpr char DbToolNoSource[] = "Нет каталога-источника: %1";
inline constexpr char DbToolImportOwn[] = "Источник - каталог БД самой программы: вводить нечего.";
inline constexpr char DbToolNoServer[] =
    "Не задан сервер БД: --db АДРЕС (или --to АДРЕС), переменная ZEV7_DB или раздел "
    "[База данных] файла ZEV7.ini.";
inline constexpr char DbToolNoCopySource[] = "Не задан источник: --from КАТАЛОГ или АДРЕС.";
inline constexpr char DbToolSourceIsTarget[] =
    "Источник - та же БД, куда копируются результаты: копировать нечего.";
inline constexpr char DbToolPushSummary[] =
    "Передано на сервер циклов: %1, осталось на станции: %2";
inline constexpr char DbToolPushNothing[] = "На станции нет результатов, ожидающих сервер.";
inline constexpr char DbToolCopySummary[] =
    "Циклов в источнике: %1, передано: %2, дополнено: %3, уже были на сервере: %4";

// ---- Choosing the results database ("[База данных]" of ZEV7.ini, --db, ZEV7_DB) -----------
inline constexpr char DbLocBadDriver[] =
    "Неизвестный драйвер БД \"%1\": допустимы SQLite и PostgreSQL";
inline constexpr char DbLocBadPort[] = "Порт сервера БД \"%1\" вне диапазона 1..65535";
inline constexpr char DbLocBadHost[] =
    "Недопустимое имя сервера БД \"%1\": допустимы латинские буквы, цифры, точка, дефис и "
    "подчеркивание, адрес IPv6 - в квадратных скобках";
inline constexpr char DbLocBadName[] =
    "Недопустимое имя базы данных \"%1\": не более %2 байт, без управляющих символов";
inline constexpr char DbLocBadUser[] =
    "Недопустимое имя пользователя БД \"%1\": не более %2 байт, без управляющих символов";
inline constexpr char DbLocBadStation[] =
    "Недопустимое имя станции \"%1\": не более %2 символов, без управляющих символов";
inline constexpr char DbLocBadUrl[] =
    "Недопустимый адрес БД \"%1\": ожидается postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/ИМЯ_БД "
    "или sqlite";
inline constexpr char DbLocPasswordInUrl[] =
    "Пароль в адресе БД не указывается: он берется из файла ~/.pgpass (на Windows - "
    "%APPDATA%\\postgresql\\pgpass.conf) или из переменной PGPASSWORD";
inline constexpr char DbLocIniAt[] = "ZEV7.ini, раздел [%1]: %2";
inline constexpr char DbLocEnvAt[] = "Переменная ZEV7_DB: %1";
// The program does not start its database part with settings it cannot read: nothing is written
// to another database than the one the user chose.
inline constexpr char DbLocRefused[] =
    "%1\nРабота с базой данных отключена до исправления настроек (\"База данных\" -> "
    "\"Настройки БД\" или ZEV7.ini). Результаты вызовов не записываются.";
inline constexpr char DbToolOptionDb[] =
    "База данных: postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/ИМЯ_БД или sqlite (файл в ZEV7DBASE). "
    "Порядок выбора: --db, переменная ZEV7_DB, раздел [База данных] файла ZEV7.ini каталога "
    "программы, файл ZEV7DBASE/ZEV7.sqlite";
inline constexpr char DbToolOptionStation[] =
    "Имя станции, записываемое с каждым циклом (иначе Station= из раздела [База данных] "
    "ZEV7.ini)";
inline constexpr char DbToolServerAt[] = "База данных на сервере: %1";
inline constexpr char DbGenNoFreshOnServer[] =
    "--fresh очищает только файл БД; базу данных на сервере очистите средствами сервера";
// The dialog "Настройки БД".
inline constexpr char MenuDbSettings[] = "Настройки БД...";
inline constexpr char DbSetCaption[] = "Настройки базы данных";
inline constexpr char DbSetDriver[] = "Где хранить результаты:";
inline constexpr char DbSetDriverSqlite[] =
    "SQLite - файл ZEV7DBASE\\ZEV7.sqlite в каталоге программы";
inline constexpr char DbSetDriverPostgres[] = "PostgreSQL - сервер, общий для нескольких станций";
inline constexpr char DbSetHost[] = "Сервер:";
inline constexpr char DbSetPort[] = "Порт:";
inline constexpr char DbSetName[] = "Имя базы данных:";
inline constexpr char DbSetUser[] = "Пользователь:";
inline constexpr char DbSetStation[] = "Имя станции:";
inline constexpr char DbSetDefault[] = "по умолчанию";
inline constexpr char DbSetHint[] =
    "Пароль здесь не вводится и в ZEV7.ini не хранится: его берет драйвер PostgreSQL из файла "
    "~/.pgpass (на Windows - %APPDATA%\\postgresql\\pgpass.conf) или из переменной окружения "
    "PGPASSWORD. Пустое поле - значение по умолчанию драйвера (переменные PGHOST, PGPORT, "
    "PGUSER, PGDATABASE; сервер на этом компьютере, порт 5432).";
inline constexpr char DbSetCheck[] = "Проверить";
inline constexpr char DbSetChecking[] = "Подключение к %1...";
inline constexpr char DbSetCheckOk[] = "Подключение установлено: %1";
inline constexpr char DbSetCheckFailed[] = "Подключиться не удалось: %1";
inline constexpr char DbSetApplyFailed[] =
    "Новые настройки не применены, программа работает с прежней базой данных:\n%1";

// zev7-sim: the simulated network, its configuration file and the program.
inline constexpr char SimPortRange[] = "Номер порта %1 вне диапазона 1..64";
inline constexpr char SimPortTaken[] = "Порт COM%1 задан в сети симулятора дважды";
inline constexpr char SimNoModem[] = "В сети симулятора нет модема на порту COM%1";
inline constexpr char SimPortInUse[] = "Порт COM%1 уже открыт";
inline constexpr char SimPortClosed[] = "Порт COM%1 не открыт";
inline constexpr char SimCtsOff[] = "Порт COM%1: модем не готов к приему (CTS выключен)";
inline constexpr char SimCfgCannotRead[] = "Не могу прочитать файл конфигурации симулятора %1: %2";
inline constexpr char SimCfgTooLarge[] = "Файл конфигурации симулятора %1 больше %2 байт";
inline constexpr char SimCfgAt[] = "%1, строка %2: %3";
inline constexpr char SimCfgBadLine[] = "ожидается [РАЗДЕЛ] или КЛЮЧ = ЗНАЧЕНИЕ: %1";
inline constexpr char SimCfgUnknownSection[] =
    "неизвестный раздел [%1] (допустимы [network], [faults], [COM1] .. [COM64])";
inline constexpr char SimCfgDuplicateSection[] = "раздел [%1] задан повторно";
inline constexpr char SimCfgOutsideSection[] = "ключ %1 вне раздела";
inline constexpr char SimCfgUnknownKey[] = "неизвестный ключ %1 в разделе [%2]";
inline constexpr char SimCfgDuplicateKey[] = "ключ %1 задан повторно";
inline constexpr char SimCfgBadSwitch[] = "Значение %1 = %2: ожидается on или off";
inline constexpr char SimCfgBadModel[] = "Значение %1 = %2: ожидается lx, 3310 или other";
inline constexpr char SimCfgBadSubscriber[] =
    "Значение %1 = %2: номер абонента состоит из цифр (не более 19)";
inline constexpr char SimCfgBadSeed[] =
    "Значение %1 = %2: ожидается целое число от 0 до 18446744073709551615";
inline constexpr char SimCfgFaultSum[] = "%1: сумма вероятностей неисправностей %2 больше 1";
inline constexpr char SimCfgDuplicateNumber[] = "%1: номер %2 задан у портов COM%3 и COM%4";
inline constexpr char SimCfgSecondDialToneOnlyWithW[] =
    "%1: неисправности %2 возникают только у номеров, набираемых ступенями (со знаком W), "
    "например 8W2222222; номера модемов (%3) в одну ступень их не вызывают";
inline constexpr char SimCfgNoModems[] = "%1: не задан ни один модем ([COM1] .. [COM64])";
inline constexpr char SimUsage[] =
    "Использование:\n"
    "  zev7-sim --home КАТАЛОГ [--config ФАЙЛ] [--time-scale K] [--log ФАЙЛ]\n"
    "Каждый модем сети доступен как псевдотерминал КАТАЛОГ/dev/COM<N>.";
inline constexpr char SimOptionHome[] = "Каталог программы: в нем создаются ссылки dev/COM<N>";
inline constexpr char SimOptionConfig[] =
    "Файл конфигурации сети (без него: демонстрационная сеть)";
inline constexpr char SimOptionScale[] =
    "Ускорение времени K (не меньше 1); также переменная ZEV7_TIME_SCALE";
inline constexpr char SimOptionLog[] = "Файл журнала обмена с модемами";
inline constexpr char SimNoHome[] = "Не задан каталог программы (--home)";
inline constexpr char SimBadScale[] = "Ускорение времени %1: ожидается число не меньше 1";
inline constexpr char SimCannotLog[] = "Не могу открыть журнал обмена %1: %2";
inline constexpr char SimDemoNetwork[] = "Конфигурация не задана: демонстрационная сеть.";
inline constexpr char SimLinkLine[] = "COM%1: %2 -> %3, номер %4, модель %5";
inline constexpr char SimNoPriority[] =
    "Повышенный приоритет не дан (нужны права root или CAP_SYS_NICE): на загруженной машине "
    "ускоренное время может опережать ответы модемов.";
inline constexpr char SimRunning[] = "Симулятор работает, ускорение времени %1. Остановка: Ctrl+C.";
inline constexpr char SimStopped[] = "Симулятор остановлен, ссылки удалены.";
inline constexpr char ClockStalled[] =
    "Компьютер останавливал программу %1 раз (дольше всего на %2 мс); ускоренные часы "
    "отсчитали эти остановки как реальное время.";
inline constexpr char SimDirFailed[] = "Не могу создать каталог %1";
inline constexpr char SimPtyFailed[] = "Не могу создать псевдотерминал для COM%1: %2";
inline constexpr char SimLinkFailed[] = "Не могу создать ссылку %1: %2";
inline constexpr char SimLinkExists[] = "%1 существует и не является ссылкой";

// ---- cycle settings dialogs ----
inline constexpr char SettingsCaption[] = "Настройки цикла";
inline constexpr char SetAddCaption[] = "Дополнительные настройки цикла";
inline constexpr char BaseTimeCaption[] = "Базовое время сценария";
inline constexpr char SettingsPageGeneral[] = "Общие";
inline constexpr char SettingsPageCallDiagram[] = "Циклограмма вызова";
inline constexpr char SettingsPageAutoAnswer[] = "Автоответчик";
inline constexpr char SettingsPageLineHold[] = "Удержание линии";
inline constexpr char StartWindowLabel[] = "Интервал времени \r\nдопустимого начала цикла";
inline constexpr char AttemptsGroup[] = "Попытки вызова";
inline constexpr char AttemptsCount[] = "Количество попыток";
inline constexpr char AtLeast[] = "не менее";
inline constexpr char AtMost[] = "не более";
inline constexpr char NormLabel[] = "Норма КПВ, %";
inline constexpr char DialToneLabel[] = "Сигнал ОС, \"Занято на исх.\",\r\n\"Перегрузка на исх.\"";
inline constexpr char RingbackCheckLabel[] = "СКПВ,\"Занято на вх.\",\r\n\"Перегрузка на вх.\"";
inline constexpr char AnswerSignalLabel[] = "Сигнал автоответчика";
inline constexpr char DurationThresholdLabel[] = "порог по \r\nдлительности, с";
inline constexpr char RangeFrom[] = "от";
inline constexpr char RangeTo[] = "до";
inline constexpr char ClearBackSignalLabel[] = "Сигнал \"Отбой\"";
inline constexpr char CalledStationLabel[] = "Параметры вызываемого\r\nавтоответчика";
inline constexpr char StationLevelLabel[] = "Уровень сигнала, дБм:";
inline constexpr char StationFrequencyLabel[] = "Частота сигнала, Гц:";
inline constexpr char StationRingsLabel[] = "Количество \r\nактивирующих звонков";
inline constexpr char StationDelayOnLabel[] = "Задержка включения, c";
inline constexpr char StationDelayOffLabel[] = "Задержка отключения, с";
inline constexpr char HoldNoDialTone[] = "Нет сигнала ОС";
inline constexpr char HoldBusyOut[] = "Занято на исходящей";
inline constexpr char HoldCongestionOut[] = "Перегрузка на исходящей";
inline constexpr char HoldNoDialToneDialling[] = "Нет сигнала ОС при наборе";
inline constexpr char HoldBusyOutDialling[] = "Занято на исх. при наборе";
inline constexpr char HoldCongestionOutDialling[] = "Перегрузка на исх. \r\nпри наборе";
inline constexpr char HoldNoRingback[] = "Нет СКПВ";
inline constexpr char HoldBusyIn[] = "Занято на входящей";
inline constexpr char HoldCongestionIn[] = "Перегрузка на входящей";
inline constexpr char HoldNoAnswerSignal[] = "Нет сигнала АО";
inline constexpr char HoldAnswerTooLong[] = "Превышена длит. \r\nсигнала АО";
inline constexpr char HoldNoClearBack[] = "Нет сигнала \"Отбой\"";
inline constexpr char HoldCountHint[] =
    "При проявлении указанного события  \r\nподряд свыше заданного количества \r\nкомплекс "
    "прекращает процесс вызова \r\nи удерживает линию";
inline constexpr char SettingsBarOut[] = "Исх";
inline constexpr char SettingsBarIn[] = "Вх";
inline constexpr char SettingsBarMore[] = ">>";
inline constexpr char SettingsMoreHint[] = "Дополнительные настройки цикла";
inline constexpr char SettingsSetHint[] =
    "Сохранение введенных изменений \r\nв настройках данного цикла";
inline constexpr char SettingsReset[] = "Сброс";
inline constexpr char SettingsResetHint[] =
    "Отмена введенных изменений \r\nв настройках данного цикла";
inline constexpr char SettingsNoCycle[] = "В сценарии нет циклов: настройки шаблона не изменяются";
inline constexpr char SettingsRefused[] = "Настройки цикла не сохранены: %1";
inline constexpr char SettingsPortGone[] = "Окно порта закрыто";
inline constexpr char PauseLabel[] = "Пауза после окончания попытки вызова, с";
inline constexpr char WaitTimeLabel[] = "Интервал времени \r\nожидания сигналов, с";
inline constexpr char RingbackTimeLabel[] = "Порог распознавания СКПВ\r\nпо длительности , с";
inline constexpr char AttenuationTimeLabel[] = "Длительность сигнала от исходящей, с";
inline constexpr char PeriodsGroup[] = "Период следования сигналов, с";
inline constexpr char PeriodBusyOut[] = "Занято на исх.";
inline constexpr char PeriodBusyIn[] = "Занято на вх.";
inline constexpr char PeriodCongestionOut[] = "Перегрузка на исх.";
inline constexpr char PeriodCongestionIn[] = "Перегрузка на вх.";
inline constexpr char PeriodClearBack[] = "Отбой";
inline constexpr char BaseTimeLabel[] = "Редактирование базового \r\nвремени сценария:";
inline constexpr char ButtonOk[] = "OK";
// ---- end of cycle settings dialogs ----

// ---- batch mode ----
// The batch log "ZEV7.end": every line starts so.
inline constexpr char BatchLogPrefix[] = "Пакетный режим: ";
// The final line of a batch run, by its result code.
inline constexpr char BatchSucceeded[] = "Успешно завершен.";
inline constexpr char BatchBroken[] = "Прерван пользователем.";
inline constexpr char BatchMalformed[] = "Нарушена структура файла расписания ZEV.lst";
inline constexpr char BatchNoPort[] = "Нет доступного порта или порт занят.";
inline constexpr char BatchNoWindow[] = "Не могу создать форму.";
inline constexpr char BatchClosing[] = "Закрытие программы.";
inline constexpr char BatchPortNotFound[] = "Ошибка - Порт %1 не найден!";
// Why a schedule is malformed (logged before the final line).
inline constexpr char BatchNoCloseWord[] = "Файл расписания пуст: нет первого слова";
inline constexpr char BatchItemNoScenario[] = "Пункт %1 (порт %2): нет имени файла сценария";
inline constexpr char BatchItemNoReport[] = "Пункт %1 (порт %2): нет имени файла результатов";
inline constexpr char BatchNameTooLong[] = "Пункт %1 (порт %2): имя файла длиннее %3 символов";
inline constexpr char BatchNameOutside[] = "Пункт %1 (порт %2): имя %3 выходит за каталог %4";
inline constexpr char BatchDuplicatePort[] = "Пункт %1: порт %2 уже есть в расписании";
inline constexpr char BatchItemBadPort[] = "Пункт %1: \"%2\" - не номер порта 1..64";
inline constexpr char BatchNoItems[] =
    "В файле расписания нет ни одного пункта (порт, файл сценария, файл результатов)";
inline constexpr char BatchTooManyItems[] = "В файле расписания больше %1 пунктов";
inline constexpr char BatchScheduleUnreadable[] = "Не могу прочитать файл расписания %1: %2";
inline constexpr char BatchScheduleTooLarge[] = "Файл расписания %1 больше %2 байт";
// A start that failed without a message of its own.
inline constexpr char BatchScenarioNotLoaded[] = "Порт %1: сценарий %2 не загружен";
inline constexpr char BatchNotStarted[] = "Порт %1: сценарий не запущен";
// The log itself cannot be written (standard error then gets the line).
inline constexpr char BatchLogFailed[] = "Не могу записать журнал %1: %2";

// ---- end of batch mode ----

// ---- charts and live graph windows ----
// The series settings dialog (TForm_Color).
inline constexpr char ColorSuccessCalls[] = "Успешные вызовы";
inline constexpr char ColorLostCalls[] = "Потери вызова";
inline constexpr char ColorFillPie[] = "Сплошная заливка секторов";
inline constexpr char ColorGraph[] = "Цвет графика";
inline constexpr char ColorMarks[] = "Видимость марки ";
inline constexpr char ColorPointCount[] = "Количество точек ";
inline constexpr char ColorIntervalCount[] = "Количество интервалов";
inline constexpr char ColorCancel[] = "Отмена";
// The chart pop-up menu and the chart files.
inline constexpr char ChartBackground[] = "Цвет фона";
inline constexpr char ChartToClipboard[] = "Сохранить график в буфер";
inline constexpr char ChartToFile[] = "Сохранить график в файл";
inline constexpr char ChartPrint[] = "Печать графика";
inline constexpr char ChartDefaultName[] = "graphic";
inline constexpr char ChartSaveFilter[] =
    "Рисунок BMP (*.bmp);;Рисунок PNG (*.png);;Векторный рисунок SVG (*.svg)";
inline constexpr char ChartFormatUnsupported[] =
    "Формат файла \"%1\" не поддерживается. Сохраните график с расширением .bmp, .png или "
    ".svg.";
inline constexpr char ChartSaveFailed[] = "Не могу записать файл %1\n%2";
inline constexpr char ChartPrintJob[] = "%1 - %2";
// The live graph windows: the pie slices and the bar graphs' axes and pages.
inline constexpr char GraphAllSuccesses[] = "Всего успешных вызовов";
inline constexpr char GraphAllLosses[] = "Всего потерь вызовов";
inline constexpr char GraphCallsAxis[] = "Вызовы";
inline constexpr char GraphDbAxis[] = "дБ";
inline constexpr char GraphDbmAxis[] = "дБм";
inline constexpr char GraphPage[] = "Стр.";
inline constexpr char GraphPageOf[] = "из";
inline constexpr char GraphPrevPage[] = "Предыдущая страница";
inline constexpr char GraphNextPage[] = "Следующая страница";
// ---- end of charts and live graph windows ----

// ---- scenario scheme window ----
inline constexpr char SchemeComplexCycle[] = "Комплексный цикл";
inline constexpr char SchemeChannel[] = "Канал №";
inline constexpr char SchemeTimeAxis[] = "Время,с";
inline constexpr char SchemePage[] = "Стр.";
inline constexpr char SchemePageOf[] = "из";
inline constexpr char SchemePrevHint[] = "Предыдущая страница";
inline constexpr char SchemeNextHint[] = "Следующая страница";
inline constexpr char SchemeChartHint[] =
    "Перетащите полосу цикла, чтобы сдвинуть его начало; колесо мыши - масштаб, "
    "Shift+колесо - прокрутка, Home - всё время";

// ---- end of scenario scheme window ----

// ---- database selection, filter, monitor and compaction ----
// "Интерфейс БД": the period, the days, the side, the code and number lists.
inline constexpr char DbSelCaption[] = "Интерфейс БД";
inline constexpr char DbSelPeriod[] = "Период";
inline constexpr char DbSelDateFrom[] = "Дата с";
inline constexpr char DbSelTimeFrom[] = "Время с";
inline constexpr char DbSelUntil[] = "по";
inline constexpr char DbSelDays[] = "Дни недели";
inline constexpr const char* DbSelDayNames[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
inline constexpr char DbSelSide[] = "Выбор по станции";
inline constexpr char DbSelOutgoing[] = "Исходящая";
inline constexpr char DbSelIncoming[] = "Входящая";
inline constexpr char DbSelOutgoingCodes[] = "Отбор исходящих номеров по условиям:";
inline constexpr char DbSelIncomingCodes[] = "Отбор входящих номеров по условиям:";
inline constexpr const char* DbSelCodeTitles[3] = {"Код города", "Доп. код", "Номер АТС"};
inline constexpr char DbSelOutgoingStation[] = "Исходящая станция";
inline constexpr char DbSelIncomingStation[] = "Входящая станция";
inline constexpr char DbSelRefresh[] = "Обновить выборку";
inline constexpr char DbSelChoose[] = "Выбор";
inline constexpr char DbSelShowCycles[] = "Показать циклы";
inline constexpr char DbSelEmptyCode[] = "(пусто)";
// The measuring stations (the installations that share one database) whose cycles are kept;
// shown only when the database holds cycles of more than one.
inline constexpr char DbSelMeasuringStations[] = "Пункты измерений";
// The name of a measuring station where none is named.
inline constexpr char DbNoStationName[] = "—";
// "Выбранные циклы": the cycle list, its totals and the buttons to the statistics windows.
inline constexpr char DbViewCaption[] = "Выбранные циклы";
inline constexpr char DbViewCycleIncluded[] = "Учет цикла";
inline constexpr char DbViewTotals[] = "Получить итог";
inline constexpr char DbViewFilterOn[] = "Фильтр";
inline constexpr char DbViewFilterOff[] = "Отменить фильтр";
inline constexpr char DbViewCycleStat[] = "Статистика цикла";
inline constexpr char DbViewCycleCalls[] = "Вызовы цикла";
inline constexpr char DbViewCycleSettings[] = "Параметры настройки цикла";
inline constexpr char DbViewSummary[] = "Статистика циклов";
inline constexpr char DbViewParamStats[] = "Статистика измерений параметра по циклам";
// "Параметры фильтра".
inline constexpr char DbFilterCaption[] = "Параметры фильтра";
inline constexpr char DbFilterNone[] = "Не использовать фильтр по параметрам";
inline constexpr char DbFilterSettings[] = "Параметры настройки";
inline constexpr char DbFilterResults[] = "Параметры результатов";
inline constexpr char DbFilterParamName[] = "Наименование параметра ";
inline constexpr char DbFilterLow[] = "Нижняя граница";
inline constexpr char DbFilterHigh[] = "Верхняя граница";
inline constexpr char DbFilterTimeWindow[] = "Ограничить выборку заданным интервалом времени";
inline constexpr char DbFilterTimeFrom[] = "c";
inline constexpr char DbFilterTimeTo[] = "по";
inline constexpr char DbFilterCancel[] = "Отмена";
// The measurement monitor "База данных".
inline constexpr char DbMonitorCaption[] = "База данных";
inline constexpr char DbMonitorPage[] = "Монитор измерений";
inline constexpr char DbMonitorTable[] = "Таблица";
inline constexpr char DbMonitorClear[] = "Очистить";
inline constexpr char DbMonitorFill[] = "Заполнить базу";
inline constexpr char DbMonitorScenarios[] = "Сценариев";
inline constexpr char DbMonitorCycles[] = "Циклов";
inline constexpr char DbMonitorCalls[] = "Вызовов в цикле";
inline constexpr char DbMonitorAskClear[] = "Удалить все результаты измерений из БД?";
inline constexpr char DbMonitorClearFailed[] = "Не удалось очистить таблицу %1.";
inline constexpr char DbMonitorFillFailed[] = "Не записано операций: %1";
inline constexpr char DbMonitorRecord[] = "Запись %1 из %2";
// The compaction window: a table that could not be packed.
inline constexpr char CompactTableSkipped[] = "Таблица %1 не сжата (код %2).";
// ---- end of database selection, filter, monitor and compaction ----

// ---- database statistics windows ----
// Captions of the five statistics windows (each also names its window's section in ZEV7.ini).
inline constexpr char StatCycleCaption[] = "Статистика цикла попыток  вызовов";
inline constexpr char StatCallsCaption[] = "Вызовы цикла";
inline constexpr char StatSettingsCaption[] = "Параметры настройки цикла";
inline constexpr char StatSummaryCaption[] = "Статистика циклов";
inline constexpr char StatParamsCaption[] = "Статистика измерений параметра по циклам";
// The heading of the windows of one cycle, the summary's period, the count/percent switch.
inline constexpr char StatHeadAttempts[] = "Попыток вызова";
inline constexpr char StatHeadNoCycle[] = "Цикл не выбран";
inline constexpr char StatPeriodFrom[] = "Период с";
inline constexpr char StatPeriodTo[] = "по";
inline constexpr char StatCountMode[] = "КПВ,шт";

// ---- end of database statistics windows ----

// ---- database statistical graphs ----
// Captions of the graph windows by kind (each also names its window's section in ZEV7.ini);
// nullptr: the kind is not used. Kinds 17..31 are the first text followed by a result's label.
inline constexpr const char* GraphDbCaptions[17] = {
    "БД: Диаграмма вызовов",
    "БД: Диаграмма потерь вызова",
    "БД: Итоговая диаграмма вызовов",
    "БД: Итоговая диаграмма потерь вызова",
    "БД: Затухание.Гистограмма.",
    "БД: Уровень ОС.Гистограмма.",
    nullptr,
    "БД: Уровень СКПВ.Гистограмма.",
    nullptr,
    "БД: Затухание.Диаграмма.",
    "БД: Уровень ОС.Диаграмма.",
    nullptr,
    "БД: Уровень СКПВ.Диаграмма.",
    nullptr,
    "БД: Затухание.Измерения параметра по циклам.",
    "БД: Уровень ОС.Измерения параметра по циклам.",
    "БД: Уровень СКПВ.Измерения параметра по циклам.",
};
inline constexpr char GraphDbResultCaption[] = "БД: Диаграмма.";
inline constexpr char GraphDbDistribution[] = "Характеристика распределения";
inline constexpr char GraphDbMean[] = "Среднее значение в цикле";
inline constexpr char GraphDbPercentAxis[] = "%";
inline constexpr char GraphDbCycleAxis[] = "Циклы";
inline constexpr char GraphDbNorm[] = "Норма";
inline constexpr char GraphDbFailed[] = "Не могу прочитать данные графика из БД:\n%1";
// The buttons and menus that open the graphs.
inline constexpr char GraphDbCycleDiagram[] = "Диаграмма цикла";
inline constexpr char GraphDbSummaryDiagram[] = "Итоговая диаграмма";
inline constexpr char GraphDbHistogram[] = "Гистограмма";
inline constexpr char GraphDbPerCall[] = "Диаграмма";
inline constexpr char GraphDbByCycle[] = "График по циклам";
// ---- end of database statistical graphs ----

// ---- database deletion, import and export ----
// The deletion window.
inline constexpr char DelRecCaption[] = "Удаление циклов из БД";
inline constexpr char DelRecInterval[] = "Интервал";
inline constexpr char DelRecDateFrom[] = "Дата: с";
inline constexpr char DelRecTimeFrom[] = "Время: c";
inline constexpr char DelRecTo[] = "по";
inline constexpr char DelRecModes[] = "Условия";
inline constexpr const char* DelRecModeNames[5] = {
    "Все циклы", "Прерванные циклы", "По Исх.", "По Вх.", "Исх. - Вх.",
};
inline constexpr char DelRecOutgoing[] = "Исх.";
inline constexpr char DelRecIncoming[] = "Вх.";
inline constexpr char DelRecCycle[] = "Цикл";
inline constexpr char DelRecDelete[] = "Удалить циклы";
inline constexpr char DelRecDeleteAll[] = "Удалить все циклы";
inline constexpr char DelRecDeleteAllHint[] =
    "Удаляет все циклы из БД независимо от интервала и условий";
inline constexpr char DelRecBreak[] = "Прервать";
inline constexpr char DelRecClose[] = "Закрыть";
inline constexpr char DelRecAsk[] = "Удалить циклы?";
inline constexpr char DelRecFailed[] = "Не могу удалить циклы из БД:\n%1";
inline constexpr char DelRecSelected[] = "Выбрано циклов: %1";
// The import window.
inline constexpr char ImportCaption[] = "Ввод результатов";
inline constexpr char ImportSourceLabel[] = "Укажите каталог БД-источника";
inline constexpr char ImportStart[] = "Начать ввод результатов";
inline constexpr char ImportBreak[] = "Прервать";
inline constexpr char ImportClose[] = "Закрыть";
inline constexpr char ImportFile[] = "Файл";
inline constexpr char ImportNotFound[] = "не найден!";
inline constexpr char ImportBadStructure[] = "Структура таблицы неверна!";
inline constexpr char ImportSummary[] = "Циклов в источнике: %1, введено: %2, уже были в БД: %3";
inline constexpr char ImportSomeFailed[] = "Не удалось ввести циклов: %1.\n%2";
inline constexpr char ImportCannotWrite[] = "Не могу записать в БД:\n%1";
inline constexpr char ImportInterrupted[] = "Ввод результатов прерван.";
inline constexpr char ImportChecking[] = "Проверка %1...";
inline constexpr char ImportCopying[] = "Ввод циклов...";
// The second line of a refusal: what is wrong with the table named in the first.
inline constexpr char PxUnreadable[] = "файл не читается: %1";
inline constexpr char PxNotTable[] = "не таблица Paradox (тип файла %1, версия %2)";
inline constexpr char PxEncrypted[] = "таблица зашифрована";
inline constexpr char PxBlockSize[] = "неверный размер блока в заголовке (%1)";
inline constexpr char PxFieldCount[] = "неверное число полей в заголовке (%1)";
inline constexpr char PxFieldType[] = "поле %1: неизвестный тип %2 или размер %3";
inline constexpr char PxFieldNames[] = "имена полей не умещаются в заголовок";
inline constexpr char PxHeaderSize[] = "неверный размер заголовка (%1 байт)";
inline constexpr char PxRecordSize[] = "размер записи %1 байт не равен сумме размеров полей %2";
inline constexpr char PxShort[] = "файл обрезан: %1 байт, по заголовку нужно %2";
inline constexpr char PxRecordCount[] = "неверное число записей в заголовке (%1)";
inline constexpr char PxBlockChain[] = "цепочка блоков разорвана после блока %1 (блок %2)";
inline constexpr char PxBlockFill[] = "блок %1 поврежден (заполнение %2)";
inline constexpr char PxCountMismatch[] = "в блоках %1 записей, в заголовке %2";
inline constexpr char RowUnreadable[] = "запись %1 не читается";
inline constexpr char RowEmpty[] = "запись %1: поле %2 пусто";
inline constexpr char RowBadValue[] = "запись %1: неверное значение поля %2";
inline constexpr char RowTooLong[] = "запись %1: поле %2 длиннее %3 символов";
inline constexpr char RowOrphan[] = "запись %1: цикла %2 нет в Table_Cycle";
inline constexpr char RowDuplicate[] = "запись %1: %2 = %3 повторяется";
inline constexpr char RowNoNumber[] = "запись %1: номера %2 = %3 нет в %4";
inline constexpr char SourceNotDatabase[] = "%1 : Файл не является БД ZEV7!";
inline constexpr char SourceEmptyFile[] = "файл пуст";
inline constexpr char SourceTableMissing[] = "%1 : Таблица %2 не найдена!";
inline constexpr char SourceNotTable[] = "это представление, а не таблица";
inline constexpr char SourceTimeout[] = "чтение источника шло дольше %1 с и прервано";
// The database engine's answers, as the user reads them.
inline constexpr char EngineCorrupt[] = "файл поврежден (код %1)";
inline constexpr char EngineNotDatabase[] = "файл не является базой данных (код %1)";
inline constexpr char EngineBusy[] = "БД занята другой программой (код %1)";
inline constexpr char EngineFull[] = "диск заполнен (код %1)";
inline constexpr char EngineReadOnly[] = "запись в БД запрещена (код %1)";
inline constexpr char EngineConstraint[] = "значение не принято БД (код %1)";
inline constexpr char EngineOther[] = "ошибка БД (код %1)";
// Export of a grid to a document.
inline constexpr char ExportSaveCaption[] = "Экспорт таблицы в Word";
inline constexpr char ExportFilter[] = "Документ Word (*.docx)";
inline constexpr char ExportSaved[] = "Документ сохранен в файл:\n%1";
inline constexpr char ExportCannotWrite[] = "Не могу записать файл %1:\n%2";
// The list window's open export of its selection (the cycles, or their calls) for other
// programs.
inline constexpr char CsvExportButton[] = "Экспорт в CSV";
inline constexpr char CsvExportCaption[] = "Экспорт выборки в CSV";
inline constexpr char CsvExportCyclesFilter[] = "Циклы выборки, CSV (*.csv)";
inline constexpr char CsvExportCallsFilter[] = "Вызовы циклов выборки, CSV (*.csv)";
inline constexpr char CsvExportFileName[] = "Выборка.csv";
inline constexpr char CsvExportProgress[] = "Запись строк в CSV...";
inline constexpr char CsvExportCancel[] = "Прервать";
inline constexpr char CsvExportSaved[] = "Записано строк: %1, файл:\n%2";
inline constexpr char CsvExportStopped[] = "Экспорт прерван, файл %1 неполон.";
// ---- end of database deletion, import and export ----

// ---- database export command ----
// "Экспорт таблицы в Word": the main window's menu item Word1 and the same pop-up entry.
inline constexpr char MenuExportWord[] = "Экспорт таблицы в Word";
// The period heading of an exported table: "Дата: с d1 по d2 Время: c t1 по t2".
inline constexpr char ExportPeriodDate[] = "Дата: с";
inline constexpr char ExportPeriodTime[] = "Время: c";
inline constexpr char ExportPeriodTo[] = "по";
// ---- end of database export command ----

}  // namespace str
}  // namespace zev7
