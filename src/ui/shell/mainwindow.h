#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "animationcommands.h"
#include "animationplayer.h"
#include "configfile.h"
#include "qlanguagemanager.h"
#include "documentpage.h"
#include "qanimations.h"
#include "qcodefiles.h"
#include "qmessages.h"
#include "qsounds.h"
#include "qsprites.h"
#include "qsprrender.h"
#include "spritecommands.h"

#include <QDomDocument>
#include <QHash>
#include <QDomElement>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <QUndoGroup>

class QActionListModel;
class QColor;
class QDragEnterEvent;
class QDropEvent;
class QEditCommand;
class QIssuesModel;
class QSoundListModel;
class QSpriteListModel;
class QLabel;
class QPaletteWidget;
class QProgressDialog;
class QRenderWidget;
class QUndoView;

namespace Ui { class MainWindow; }

// The one window of the program. It owns every document for the life of the
// process, and its slots (connected by name to the form's widgets and actions)
// are the only entry points of user actions. The slots are spread over files by
// tab: this file's .cpp holds the shell; each editor tab has its own file.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The page index of `tabs` doubles as the document kind everywhere.
    enum Tab { SffTab = 0, ActTab = 1, SndTab = 2, AirTab = 3, CodeTab = 4 };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // True when the archive behind `tab` may be thrown away: nothing unsaved,
    // or the user chose Discard, or Save and it was saved. SFF and ACT share
    // one archive.
    bool confirmDiscard(int tab);
    // Marks that one tab's title with "*"; the documents' own state decides.
    void setModifiedMark(int tab, bool modified);

    // The documents, for the tests and the benchmarks that drive the window.
    QSprites& spriteArchive() { return sprites; }
    QSounds& soundArchive() { return sounds; }
    QAnimations& animationSet() { return animations; }
    QUndoGroup& undoStacks() { return undoGroup; }
    QMessages& issues() { return messages; }

    // Selector ranges follow the number of items of each document (0..count-1).
    void updateSpriteRange();
    void updatePaletteRange();
    void updateAnimationRange();
    void updateSoundRange();

    // The settings: the shipped file beside the executable gives the
    // defaults; the person's own file at `path` is read over them once at the
    // end of construction, and written once when the window is destroyed.
    void loadConfig(const QString& path);
    void saveConfig(const QString& path);

    // Opens a file as File > Open would, by its extension: a DEF with every
    // file it names, an SFF, AIR or SND archive on its tab, an ACT palette as
    // a new palette, an image as a new sprite, anything else as code. False
    // when it did not open.
    bool openPath(const QString& path);
    ConfigFile& settingsFile() { return settings; }

    // The file goes to the top of File > Recent files (the last ten).
    void addRecentFile(const QString& path);
    QStringList recentFiles() const { return recent; }
    // One question for every document with unsaved work (Save, Discard or
    // Cancel); true when they may all go: saved, or discarded.
    bool confirmClose();
    // The size a window starts at when none was kept.
    static QSize startSize();

signals:
    // The settings were read: parts of the window that keep their own read them now.
    void settingsRead();
    // The settings are about to be written: parts that keep their own store them now.
    void settingsWriting();

public slots:
    // Archives report long loads and saves here: pos 0 opens the progress
    // dialog for `max` steps, `allow` turns false once Cancel was pressed, and
    // the report with pos == max closes it.
    void progress(uint pos, uint max, bool& allow);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Files dropped on the window open as File > Open would.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Ctrl+Z in a spin box takes back the document's last step, not the
    // digits typed into the box.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DocumentPage;

    // AIR tab (mainwindow_air.cpp): actions and frames, their fields, boxes,
    // playback, the AIR file and its GIF.
private slots:
    void on_airSel_valueChanged(int value);
    void on_airFSel_valueChanged(int value);
    void on_airName_textChanged(const QString& text);
    void on_airBA_valueChanged(int value);
    void on_airGrp_valueChanged(int value);
    void on_airNo_valueChanged(int value);
    void on_airX_valueChanged(int value);
    void on_airY_valueChanged(int value);
    void on_airTime_valueChanged(int value);
    void on_airFlip_currentIndexChanged(int index);
    void on_airTrans_currentIndexChanged(int index);
    void on_airSrc_valueChanged(int value);
    void on_airDst_valueChanged(int value);
    void on_airLoop_toggled(bool checked);
    void on_airAdd_clicked();
    void on_airDel_clicked();
    void on_airFAdd_clicked();
    void on_airFDel_clicked();
    void on_airClsn1_toggled(bool checked);
    void on_airClsn2_toggled(bool checked);
    void on_airDelClsn_clicked();
    void on_airClsnType_clicked();
    void on_airClsnDef_clicked();
    void on_actionPlay_2_triggered(bool checked);
    void on_actionStop_2_triggered(bool checked);
    void playTimeOut();
    void on_actionText_mode_triggered();
    void on_actionNew_triggered();
    void on_actionOpen_2_triggered();
    void on_actionSave_triggered();
    void on_actionSave_As_2_triggered();
    void on_actionSave_as_GIF_triggered();
private:
    DocumentPage::Texts airTexts() const;
    // View > Language: one entry per translation found, English first.
    void buildLanguageMenu();
    // "Character", "Stage", "Storyboard" or "Font" (CharacterDef::Kind).
    static QString kindText(int kind);
    int kind = 0;
    // The frame's fields from the document, without touching the view.
    void showFrameFields(int frame);
    void showActionFields(int action);
    // A frame field typed or chosen: one step on the frame shown.
    void editFrame(ChangeFrame::Field field, const std::function<void(AirFrame&)>& edit);
    // The structure and field widgets of the tab, off while an action plays.
    void setAirEditable(bool editable);
    // Asks before a save that would write the names in UTF-8 because the
    // file's code page cannot hold them; true to go on.
    bool mayWriteAnimations();

    // Search page (mainwindow_find.cpp): one field that finds on every page,
    // and the replace row of the code page.
private slots:
    void on_actionFind_triggered();
    void on_actionFind_next_triggered();
    void on_actionFind_previous_triggered();
    void on_findNext_clicked();
    void on_findPrev_clicked();
    void on_findStr_returnPressed();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
private:
    // Gives the page its keys and its replace row; once, by the constructor.
    void setupFind();
    // Searches the page shown from its current item, or from the editor's
    // cursor on the code page. True when something was found; otherwise the
    // status bar says why not.
    bool findOnPage(bool backward);
    // Replaces the editor's selection when it is a match, then finds the next one.
    void replaceAndFind(bool backward);

private slots:
    void viewTriggered();
    void on_actionUtilities_toggled(bool checked);
    void on_tabs_currentChanged(int index);
    void on_actionSobre_triggered();
    void on_actionNovo_triggered();
    // File > Open and Save: the whole character, stage, storyboard or font
    // through its DEF (mainwindow_character.cpp).
    void on_actionAbrir_triggered();
    void on_actionSalvar_triggered();
    void on_actionBackground_color_triggered();

    // SND tab
    void on_sndSel_valueChanged(int value);
    void on_sndGrp_valueChanged(int value);
    void on_sndNum_valueChanged(int value);
    void on_actionNew_sound_triggered();
    void on_actionChange_sound_triggered();
    void on_actionSave_Sound_triggered();
    void on_actionDuplicate_sound_triggered();
    void on_actionDelete_sound_triggered();
    void on_actionNew_3_triggered();
    void on_actionOpen_3_triggered();
    void on_actionSave_3_triggered();
    void on_actionSave_As_4_triggered();
    void on_actionPlay_triggered();
    void on_actionPlay_with_loop_triggered();
    void on_actionStop_triggered();

    // Edits made with the mouse in the view.
    void axisChanged(QRenderMode mode, QPoint axis);
    void clsnModeExit();
    void colorCaptured(uchar index);

    // Edit menu
    void on_actionUndo_triggered();
    void on_actionRedo_triggered();

    // Palette remap table
    void on_palrmAdd_clicked();
    void on_palrmDel_clicked();
    void remapChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    // DEF/CMD/CNS menu (mainwindow_code.cpp)
    void on_actionNew_2_triggered();
    void on_actionOpen_triggered();
    void on_actionSave_2_triggered();
    void on_actionSave_As_3_triggered();
private:
    // Saves code document `index` to its file, or (with none, or `asking`)
    // to a file the person names; says so in the status bar. `cancelled`
    // tells a dialog left without a name from a failure.
    bool saveCodeDocument(int index, bool asking = false, bool* cancelled = nullptr);
private slots:
    // Code editor navigation (mainwindow_codepage.cpp)
    void on_actionGo_to_line_triggered();
    void on_actionGo_to_Statedef_triggered();
    void on_actionNext_problem_triggered();
    void on_actionPrevious_problem_triggered();

    // SFF tab
    void on_sprSel_valueChanged(int value);
    void on_sprGrp_valueChanged(int value);
    void on_sprImg_valueChanged(int value);
    void on_sprX_valueChanged(int value);
    void on_sprY_valueChanged(int value);
    void on_sprDeLoad_toggled(bool checked);
    void on_sprCorTrans_toggled(bool checked);
    void on_sprImgPal_clicked();
    void on_actionNovo_sprite_triggered();
    void on_actionTrocar_imagem_triggered();
    void on_actionSalvar_imagem_triggered();
    void on_actionDuplicar_sprite_triggered();
    void on_actionExcluir_sprite_triggered();
    void on_actionNovo_2_triggered();
    void on_actionAbrir_2_triggered();
    void on_actionSalvar_2_triggered();
    void on_actionSave_As_triggered();

    // ACT tab
    void on_actSel_valueChanged(int value);
    void on_actGrp_valueChanged(int value);
    void on_actNum_valueChanged(int value);
    void paletteChanged();
    void on_actionNew_palette_triggered();
    void on_actionOpen_palette_triggered();
    void on_actionSave_palette_triggered();
    void on_actionDuplicate_palette_triggered();
    void on_actionDelete_palette_triggered();
    void on_actionRemover_tudo_triggered();
    void on_actPalImg_clicked(bool checked);
    void on_comboBox_currentIndexChanged(int index);
    void on_actCor_clicked();
    void on_actTroca_clicked();
    void on_actPega_toggled(bool checked);

    // File menu beyond the whole character, recent files, drops, the close
    // question, where file dialogs start, what saving says
    // (mainwindow_files.cpp).
private slots:
    void on_actionSalvar_como_triggered();
    void on_actionFechar_triggered();
    void on_actionSair_triggered();
private:
    void setUpFiles();
    void updateRecentMenu();
    // Where a file dialog about `document` starts: its file's folder, else
    // the folder used last; with `name`, that name in that folder.
    QString dialogPath(const QFileDocument* document, const QString& name = QString()) const;
    QString codeDialogPath(const QString& name = QString()) const;
    // A file chosen in a dialog: its folder is where the next one starts.
    void noteDialogFolder(const QString& file);
    // "Saved kfm.sff: 245 sprites, 1.2 MB" in the status bar.
    void reportSaved(const QString& fileName, const QString& contents);
    QString contentsText(const QFileDocument* document) const;
    // File dialogs that start at `path` and note the folder chosen.
    QString askOpenFile(const QString& title, const QString& path, const QString& filter);
    QString askSaveFile(const QString& title, const QString& path, const QString& filter,
                        QString* selectedFilter = nullptr);

    // The window: its title, size, layout and focus (mainwindow_window.cpp).
    void setUpComfort();
    void setUpWindow();
    void updateTitle();
    // After a load or a selection the keyboard goes to the view, never to
    // an edit field of the page.
    void focusView();

    // The view: keys that step through the page's items, zoom
    // (mainwindow_view.cpp).
private slots:
    void on_actionZoom_in_triggered();
    void on_actionZoom_out_triggered();
    void on_actionFit_triggered();
    void on_actionActual_size_triggered();
private:
    void setUpView();
    bool viewKeyPressed(int key);
    void setZoom(int index);
    void resetZoom();
    void updateZoomLabel();

    // The list beside the selector and the issues pane
    // (mainwindow_lists.cpp).
private slots:
    void on_spriteFilter_textEdited(const QString& text);
    void on_spriteFilter_returnPressed();
    void on_issuesList_activated(const QModelIndex& index);
    void on_actionSprite_list_toggled(bool checked);
private:
    void setUpLists();
    // The list follows the page: its items, and the one the page shows.
    void showListOfPage(int tab);
    void followSelector();
    // A group and number that another item has too: a warning.
    void warnDuplicate(int tab, int index);
    QString describeIssue(const QString& file, int item, int line) const;

private:
    // The code page's outline tree, encoding menu and status bar labels
    // (mainwindow_codepage.cpp).
    void setUpCodePage();
    // Opens the DEF and every file it names, each in its document, after the
    // question about unsaved work; the files it names that are not there,
    // or cannot be read, are lines of the issues list.
    bool openCharacter(const QString& defPath);
    // Empties every document without asking (the asking was done).
    void closeEverything();
    void importPalette(const QString& file);
    void setViewBackground(const QColor& top, const QColor& bottom);

    // Edits: every change of a document is a step pushed onto its stack (a
    // null step changes nothing). After a step is done, undone or redone,
    // the page shows the item it changed.
    void push(QFileDocument* document, QEditCommand* step);
    void followStack(QUndoStack* stack, int index);
    void showEdited(const QEditCommand* step, bool undone);
    // Edit > Undo and Redo act on the shown page: its document's stack, or
    // the text of the code document shown.
    void updateUndoActions();
    void connectDocuments();

    // SND tab helpers: select a sound even when the scroll bar already stands
    // there; what the archive's signals call.
    void selectSound(int index);
    void soundsChanged();
    void warnSoundFile(const QString& title, const QString& fileName);
    DocumentPage::Texts sndTexts() const;

    // SFF and ACT tab helpers. The active sprite or palette is the one the
    // scroll bar stands on, -1 when that is none. Selecting shows it even
    // when the bar stands there already. A sprite edit is a step on the
    // active sprite (nothing without one).
    int activeSprite() const;
    int activePalette() const;
    void selectSprite(int index);
    void selectPalette(int index);
    void editActiveSprite(ChangeSpriteInfo::Field field, int value);
    void editActivePaletteInfo(qint16 group, qint16 number);
    // New colours for the active palette, as one step named `text`.
    void editActivePalette(const QByteArray& colours, const QString& text);
    // What the archive's signals call: the shown sprite or palette again,
    // the selector ranges after insertions and removals.
    void spritesChanged();
    void palettesChanged();
    void warnFile(const QString& title, const QString& text, const QString& fileName);
    DocumentPage::Texts sffTexts() const;
    // Versions of the archive (mainwindow_sffversion.cpp): before a save, what
    // the version written cannot hold is asked about and changed as one step;
    // the controls that do not apply to a true-colour sprite say so.
    bool prepareSpriteSave(const QString& fileName, int filter);
    void showSpriteColours(int index);

    Ui::MainWindow* ui;

    // Documents, owned for the life of the window.
    QMessages messages;
    QSprites sprites;
    QAnimations animations;
    QSounds sounds;
    QCodeFiles codeFiles;

    // The palette grid of the ACT page, and the drawing surface of the SFF,
    // ACT, SND and AIR pages with its renderer (owned by the surface).
    QPaletteWidget* paletteWidget;
    QRenderWidget* renderWidget;
    QSprRender* renderer;

    // One undo stack per document; the shown page's is the active one.
    QUndoGroup undoGroup;
    QUndoView* historyView;
    // Where each stack stood, to tell which step it just did or undid.
    QHash<const QUndoStack*, int> stackIndex;
    DocumentPage sffPage;
    DocumentPage sndPage;
    DocumentPage airPage;
    // Playback of the AIR tab: where the action stands, on the clock of the
    // tab's own timer.
    AnimationPlayer player;
    QElapsedTimer playClock;
    // Value-changed slots do nothing while this is false; slots that fill the
    // widgets from a document clear it meanwhile.
    bool interactive;
    QTimer playTimer;
    QProgressDialog* progressDialog;
    QLabel* kindLabel;

    // The settings, read at start and written at exit.
    ConfigFile settings;
    // The translations beside the executable and the one in use.
    QLanguageManager* languages;
    struct Toggle
    {
        QString element;
        QString attribute;
        QObject* widget; // an action or a check box: its "checked"
    };
    QList<Toggle> toggles() const;

    // Recent files, newest first, and the folder file dialogs start in when
    // their document has none.
    QStringList recent;
    QString lastFolder;
    // The list beside the selector, one model per kind of item; the issues
    // pane's model; the zoom in the status bar.
    QSpriteListModel* spriteModel = nullptr;
    QSoundListModel* soundModel = nullptr;
    QActionListModel* actionModel = nullptr;
    QIssuesModel* issuesModel = nullptr;
    QLabel* zoomLabel = nullptr;
    bool followingList = false;
};

#endif
