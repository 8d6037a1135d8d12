def test_module_matches_pyqt(ryqt, qt):
    assert ryqt.__name__ in ("ryqt", "ryqt6")
    assert isinstance(ryqt.QToaster(None, ryqt.QToastGravity.TopLeft), qt.QtCore.QObject)
